#include "cli/PhoneSearch.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "cli/UserMessages.h"
#include "devices/SysfsAccess.h"
#include "devices/ZuvoDeviceFilter.h"

namespace {

constexpr std::chrono::milliseconds kStopCheck{100};

}  // namespace

PhoneSearch::Outcome PhoneSearch::enumerate(DeviceManager& manager, IDeviceListSink* sink,
                                            const SignalWatcher& signals,
                                            std::chrono::milliseconds timeLimit) {
    if (!manager.enumerate(sink)) {
        throw std::runtime_error("the search for phones could not be started");
    }
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    // Each wait queues a mark behind the enumeration; the marks of the waits that ran out
    // cost nothing when their turn comes.
    while (!manager.waitForQueued(kStopCheck)) {
        if (signals.stopRequested()) {
            return Outcome::Stopped;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return Outcome::Incomplete;
        }
    }
    if (signals.stopRequested()) {
        return Outcome::Stopped;
    }
    return manager.lastEnumerationFailure().empty() ? Outcome::Done : Outcome::Unreadable;
}

PhoneSearch::Result PhoneSearch::once(const SignalWatcher& signals,
                                      std::chrono::milliseconds timeLimit) {
    DeviceManager manager(std::make_unique<device_filter::ZuvoDeviceFilter>(),
                          DeviceRoots::fromEnvironment());
    Result result;
    result.outcome = enumerate(manager, nullptr, signals, timeLimit);
    result.devices = manager.snapshot();
    return result;
}

void PhoneSearch::reportUnreadable(const DeviceRoots& roots, Console& console) {
    // The tty class is what the first pass lists; why it cannot be listed is told by the errno
    // of listing it again.
    const std::string folder = (roots.sysfs / "class" / "tty").string();
    const int code = sysfs::listFolder(folder).error;
    const char* variable = std::getenv("CONTAXIO_SYSFS_ROOT");
    console.report(UserMessages::devicesUnreadable(
        folder, code, variable != nullptr && *variable != '\0' ? "CONTAXIO_SYSFS_ROOT" : ""));
}
