#include "devices/DeviceManager.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "common/Event.h"
#include "devices/EnumDeviceTask.h"
#include "devices/PhoneProbe.h"
#include "serial_comm/SerialPortException.h"

namespace {

int rank(DeviceState state) {
    return static_cast<int>(state);
}

// A failure to open that udev's work on a new node explains: no access yet, or no node yet.
bool udevMayNotBeDone(const causes::PhoneCause& cause) {
    return cause.kind == causes::Cause::Permission || cause.kind == causes::Cause::NoSuchPort;
}

// Queued behind the tasks a caller waits for; tells the waiter when it is gone, whether it ran
// or was discarded.
class QueueMark : public ITask {
public:
    explicit QueueMark(std::shared_ptr<synchronization::Event> reached)
        : reached_(std::move(reached)) {}
    ~QueueMark() override { reached_->signal(); }
    QueueMark(const QueueMark&) = delete;
    QueueMark& operator=(const QueueMark&) = delete;

    void run() override {}

private:
    std::shared_ptr<synchronization::Event> reached_;
};

}  // namespace

DeviceManager::DeviceManager(std::unique_ptr<device_filter::DeviceFilter> filter)
    : DeviceManager(std::move(filter), DeviceRoots::fromEnvironment()) {}

DeviceManager::DeviceManager(std::unique_ptr<device_filter::DeviceFilter> filter, DeviceRoots roots,
                             std::unique_ptr<IProbeClock> clock)
    : tree_(std::move(roots)),
      filter_(std::move(filter)),
      clock_(clock ? std::move(clock) : std::make_unique<SteadyProbeClock>()) {
    std::lock_guard lock(workerMutex_);
    ensureWorker();  // when the system has no thread to give now, enumerate tries again
}

DeviceManager::~DeviceManager() {
    stopping_.signal();  // ends a probe's wait for udev
    std::unique_ptr<TaskExecutorThread> worker;
    {
        std::lock_guard lock(workerMutex_);
        worker = std::move(worker_);
    }
    // Stops the worker: an enumeration under way ends after its current record.
    worker.reset();
}

bool DeviceManager::ensureWorker() {
    if (worker_ && worker_->isStarted() && !worker_->waitForEnd(std::chrono::milliseconds(0)))
        return true;
    // None yet, or one whose thread never started or has ended (a task broke its contract):
    // the old one has no thread to wait for, so replacing it does not block.
    auto fresh = std::make_unique<TaskExecutorThread>();
    if (!fresh->start())
        return false;
    worker_ = std::move(fresh);
    return true;
}

void DeviceManager::onDevice(const DEVICE_INFO_EX& device) {
    DEVICE_INFO_EX candidate = device;
    candidate.imei.clear();
    candidate.model.clear();

    if (device.state == DeviceState::NoDriver || device.state == DeviceState::OtherMode) {
        add(candidate);
        return;
    }

    // A modem.
    std::optional<DEVICE_INFO_EX> earlier;
    {
        std::lock_guard lock(listMutex_);
        const auto entry = list_.find(device.device);
        if (entry != list_.end()) {
            if (canBeRead(entry->second.state))
                return;  // known and usable
            candidate.retriesLeft = entry->second.retriesLeft;
        }
        const auto probed = probed_.find(device.device);
        if (probed != probed_.end()) {
            earlier = probed->second;
            candidate.retriesLeft = std::min(candidate.retriesLeft, earlier->retriesLeft);
        }
    }
    // A modem that was usable, or has had all its probes, is not probed again; what its last
    // probe found is offered to the list once more (it stays out when the list keeps a better
    // record of the phone).
    if (earlier && (canBeRead(earlier->state) || candidate.retriesLeft <= 0)) {
        add(*earlier);
        return;
    }
    if (candidate.retriesLeft <= 0)
        return;
    --candidate.retriesLeft;

    const IProbeClock::TimePoint arrived = arrivalOf(device.device);
    bool listed = true;
    for (;;) {
        try {
            listed = probePhone(*filter_, device, candidate);
        } catch (const serial_comm::SerialPortException&) {
            // Not opened, or failed on the way: listed as unsupported with what the probe got.
        }
        if (!listed || !udevMayNotBeDone(candidate.cause) ||
            clock_->now() >= arrived + kArrivalGrace)
            break;
        // Too early to tell: the same probe again, once udev may have done its work.
        if (!clock_->pause(kArrivalRetryPause, stopping_))
            return;  // the manager is going: nothing more is listed
    }
    if (!listed)
        return;  // not a modem the filter wants; nothing was opened
    {
        std::lock_guard lock(listMutex_);
        probed_[candidate.device] = candidate;
    }
    add(candidate);
}

IProbeClock::TimePoint DeviceManager::arrivalOf(std::uint32_t node) {
    {
        std::lock_guard lock(listMutex_);
        const auto known = arrivals_.find(node);
        if (known != arrivals_.end())
            return known->second;
    }
    // Reading the tree takes system calls: not under the list's lock.
    const std::optional<std::chrono::milliseconds> connected = tree_.connectedFor(node);
    const IProbeClock::TimePoint now = clock_->now();
    const IProbeClock::TimePoint arrived =
        connected
            ? now - std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                        std::min<std::chrono::milliseconds>(*connected, std::chrono::hours(1)))
            : now;
    std::lock_guard lock(listMutex_);
    return arrivals_.emplace(node, arrived).first->second;
}

void DeviceManager::add(const DEVICE_INFO_EX& candidate) {
    std::lock_guard lock(listMutex_);
    if (candidate.rootDevice != 0) {
        const auto same = std::find_if(list_.begin(), list_.end(), [&](const auto& entry) {
            return entry.second.rootDevice == candidate.rootDevice;
        });
        if (same != list_.end()) {
            DEVICE_INFO_EX& entry = same->second;
            const bool replaces =
                rank(candidate.state) > rank(entry.state) ||
                (candidate.state == entry.state && candidate.device > entry.device) ||
                (candidate.state == DeviceState::Unsupported &&
                 entry.state == DeviceState::Unsupported && candidate.device == entry.device &&
                 (candidate.model != entry.model || candidate.cause != entry.cause));
            if (replaces) {
                list_.erase(same);
                list_[candidate.device] = candidate;
            } else if (candidate.device == entry.device) {
                // The same modem probed again with the same outcome: the entry stays, but the
                // probe counts.
                entry.retriesLeft = std::min(entry.retriesLeft, candidate.retriesLeft);
            }
            return;
        }
    }
    list_[candidate.device] = candidate;
}

void DeviceManager::prune() {
    std::vector<std::uint32_t> nodes;
    {
        std::lock_guard lock(listMutex_);
        for (const auto& entry : list_)
            nodes.push_back(entry.first);
        for (const auto& entry : probed_)
            nodes.push_back(entry.first);
        for (const auto& entry : arrivals_)
            nodes.push_back(entry.first);
    }
    // Looking at the folders takes system calls: not under the list's lock.
    std::vector<std::uint32_t> gone;
    for (const std::uint32_t node : nodes) {
        if (!tree_.nodeExists(node))
            gone.push_back(node);
    }
    std::lock_guard lock(listMutex_);
    for (const std::uint32_t node : gone) {
        list_.erase(node);
        probed_.erase(node);
        arrivals_.erase(node);
    }
}

bool DeviceManager::enumerate(IDeviceListSink* sink) {
    std::lock_guard lock(workerMutex_);
    const bool haveWorker = ensureWorker();
    prune();
    if (!haveWorker || !worker_->queue().isEmpty())
        return false;
    worker_->queue().push(std::make_unique<EnumDeviceTask>(*this, sink, worker_->stopEvent(), tree_,
                                                           [this](const std::string& failure) {
                                                               std::lock_guard listLock(listMutex_);
                                                               lastFailure_ = failure;
                                                           }));
    return true;
}

void DeviceManager::discardQueued() {
    std::lock_guard lock(workerMutex_);
    if (worker_)
        worker_->clear();
}

bool DeviceManager::waitForQueued(std::chrono::milliseconds timeout) {
    auto reached =
        std::make_shared<synchronization::Event>(synchronization::Event::Mode::ManualReset);
    {
        std::lock_guard lock(workerMutex_);
        if (!ensureWorker())
            return false;
        worker_->queue().push(std::make_unique<QueueMark>(reached));
    }
    return reached->wait(timeout);
}

std::vector<DEVICE_INFO_EX> DeviceManager::snapshot() const {
    std::lock_guard lock(listMutex_);
    std::vector<DEVICE_INFO_EX> devices;
    devices.reserve(list_.size());
    for (const auto& entry : list_)
        devices.push_back(entry.second);
    return devices;
}

bool DeviceManager::find(std::uint32_t node, DEVICE_INFO_EX& device) const {
    std::lock_guard lock(listMutex_);
    const auto entry = list_.find(node);
    if (entry == list_.end())
        return false;
    device = entry->second;
    return true;
}

bool DeviceManager::portNameOf(std::uint32_t node, std::u16string& portName) const {
    std::lock_guard lock(listMutex_);
    const auto entry = list_.find(node);
    if (entry == list_.end())
        return false;
    portName = entry->second.devicePath;
    return true;
}

bool DeviceManager::removeByPath(std::u16string_view path) {
    if (path.empty())
        return false;
    std::lock_guard lock(listMutex_);
    const auto hasPath = [path](const auto& entry) { return entry.second.devicePath == path; };
    // A modem plugged in again on the same node is a new arrival.
    for (const device_list* records : {&list_, &probed_}) {
        for (const auto& entry : *records) {
            if (hasPath(entry))
                arrivals_.erase(entry.first);
        }
    }
    const std::size_t removed = std::erase_if(list_, hasPath);
    std::erase_if(probed_, hasPath);
    return removed != 0;
}

std::string DeviceManager::lastEnumerationFailure() const {
    std::lock_guard lock(listMutex_);
    return lastFailure_;
}

std::vector<UsbSerialPort> DeviceManager::otherUsbSerialPorts() {
    try {
        return tree_.findOtherUsbSerialPorts();
    } catch (const std::runtime_error&) {
        return {};  // the enumeration tells why the devices cannot be read
    }
}
