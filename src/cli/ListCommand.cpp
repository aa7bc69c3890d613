#include "cli/ListCommand.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "cli/ListedPhone.h"
#include "cli/PhoneAliases.h"
#include "cli/PhoneListJson.h"
#include "cli/PhoneListText.h"
#include "cli/PhoneSearch.h"
#include "cli/UserMessages.h"
#include "devices/DeviceListFollower.h"
#include "devices/DeviceManager.h"
#include "devices/DeviceTree.h"
#include "devices/UeventMonitor.h"
#include "devices/ZuvoDeviceFilter.h"

namespace {

using namespace std::chrono_literals;

// Wakes the main thread when the device list may have changed (told on the device manager's
// worker and on the follower's thread).
class ListChanges : public IDeviceListSink {
public:
    void onListChanged() override {
        {
            std::lock_guard lock(mutex_);
            changed_ = true;
        }
        wake_.notify_all();
    }

    // True when a change came within timeout (and clears it).
    bool waitForChange(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, timeout, [this] { return changed_; })) {
            return false;
        }
        changed_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool changed_ = false;
};

// The status for a search that did not simply end; Success to go on.
ExitStatus afterSearch(PhoneSearch::Outcome outcome, const DeviceRoots& roots, Console& console) {
    switch (outcome) {
        case PhoneSearch::Outcome::Stopped:
            return ExitStatus::Cancelled;
        case PhoneSearch::Outcome::Unreadable:
            PhoneSearch::reportUnreadable(roots, console);
            return ExitStatus::PhoneUnusable;
        case PhoneSearch::Outcome::Incomplete:
            console.report(UserMessages::searchIncomplete(
                std::chrono::duration_cast<std::chrono::seconds>(PhoneSearch::kTimeLimit).count()));
            return ExitStatus::Success;
        case PhoneSearch::Outcome::Done:
            return ExitStatus::Success;
    }
    return ExitStatus::Success;
}

ExitStatus listOnce(bool json, bool all, Console& console, const SignalWatcher& signals) {
    const PhoneSearch::Result search = PhoneSearch::once(signals);
    if (const ExitStatus status =
            afterSearch(search.outcome, DeviceRoots::fromEnvironment(), console);
        status != ExitStatus::Success) {
        return status;
    }
    PhoneAliases aliases = PhoneAliases::fromSettings();
    const std::vector<ListedPhone> phones = ListedPhone::of(search.devices, aliases);
    if (!all) {
        console.out() << (json ? PhoneListJson::listing(phones) : PhoneListText::listing(phones))
                      << std::flush;
        return ExitStatus::Success;
    }
    // Read from sysfs alone: none of these ports is opened.
    std::vector<UsbSerialPort> others;
    try {
        others = DeviceTree(DeviceRoots::fromEnvironment()).findOtherUsbSerialPorts();
    } catch (const std::runtime_error&) {
        PhoneSearch::reportUnreadable(DeviceRoots::fromEnvironment(), console);
        return ExitStatus::PhoneUnusable;
    }
    console.out() << (json ? PhoneListJson::listing(phones, others)
                           : PhoneListText::listing(phones, others))
                  << std::flush;
    return ExitStatus::Success;
}

ExitStatus follow(bool json, Console& console, const SignalWatcher& signals) {
    const DeviceRoots roots = DeviceRoots::fromEnvironment();
    // Declared so that each goes before what it uses: the monitor tells the follower, the
    // follower drives the manager, and both tell the changes.
    ListChanges changes;
    DeviceManager manager(std::make_unique<device_filter::ZuvoDeviceFilter>(), roots);
    if (const ExitStatus status =
            afterSearch(PhoneSearch::enumerate(manager, &changes, signals, PhoneSearch::kTimeLimit),
                        roots, console);
        status != ExitStatus::Success) {
        return status;
    }
    PhoneAliases aliases = PhoneAliases::fromSettings();
    std::vector<ListedPhone> shown = ListedPhone::of(manager.snapshot(), aliases);
    console.out() << (json ? PhoneListJson::listing(shown, true) : PhoneListText::listing(shown))
                  << std::flush;

    DeviceListFollower follower(manager, &changes);
    if (!follower.start()) {
        throw std::runtime_error("no thread to follow the phones");
    }
    // The kernel's events concern the system's own devices only; where no socket can be had,
    // the follower's enumeration every period keeps the list current.
    std::unique_ptr<UeventMonitor> monitor;
    if (roots.sysfs == DeviceRoots{}.sysfs) {
        monitor = std::make_unique<UeventMonitor>(follower, roots.dev);
        monitor->start();
    }
    console.report(UserMessages::watching());

    while (!signals.stopRequested() && console.out().good()) {
        if (!changes.waitForChange(100ms)) {
            continue;
        }
        std::vector<ListedPhone> now = ListedPhone::of(manager.snapshot(), aliases);
        for (const PhoneChange& change : PhoneChange::between(shown, now)) {
            console.out() << (json ? PhoneListJson::change(change) : PhoneListText::change(change));
        }
        console.out() << std::flush;
        shown = std::move(now);
    }
    monitor.reset();
    follower.stop();
    // A standard output that failed ends the watch too; the caller tells why.
    return signals.stopRequested() ? ExitStatus::Cancelled : ExitStatus::Success;
}

}  // namespace

ExitStatus ListCommand::run(bool json, bool watch, bool all, Console& console,
                            const SignalWatcher& signals) {
    return watch ? follow(json, console, signals) : listOnce(json, all, console, signals);
}
