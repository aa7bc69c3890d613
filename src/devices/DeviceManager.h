#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "devices/DeviceFilter.h"
#include "devices/DeviceInfoEx.h"
#include "devices/DeviceRoots.h"
#include "devices/DeviceTree.h"
#include "devices/IDeviceListSink.h"
#include "devices/IEnumDeviceSink.h"
#include "devices/ProbeClock.h"
#include "tasks/TaskExecutorThread.h"

// The list of the maker's devices attached now, one entry per physical phone with the best
// state any of its interfaces reached, kept by enumerations that run on a worker of its own.
//
// The list is a map from device node to record, guarded by its own lock; readers get copies.
// An enumeration (EnumDeviceTask) hands every record to onDevice on the worker: modems that are
// not yet usable are probed (at most ten times each), and records of one phone (the same root
// device) are merged so that the most useful one stays:
//   - a greater state replaces the entry; among equal states the greater device node does;
//     a probed modem that is still unsupported replaces its own entry when it now tells
//     another model, or fails for another cause;
//   - otherwise the entry stays.
// Entries go when their device folder has gone (pruned at the next enumerate) or when their
// modem is reported removed (removeByPath).
//
// The kernel tells of a new tty before udev has given its node the owner and access it keeps
// (or made the node): a probe that cannot open the port for want of permission, or because it
// is not there (EACCES, EPERM, ENOENT), within kArrivalGrace of the phone's arrival is tried
// again every kArrivalRetryPause, without counting against the modem's probes; only a failure
// that persists is listed. The arrival is when the USB device was connected, where the tree
// tells it, else when the manager first saw the modem.
//
// Thread use: enumerate, discardQueued, snapshot, find, portNameOf, removeByPath and
// waitForQueued may be called from any thread (the user interface's, a command-line loop's);
// onDevice and the IDeviceListSink calls run on the worker. Destruction stops the worker: an
// enumeration in progress ends after its current record (a probe under way runs to its end).
class DeviceManager : public IEnumDeviceSink {
public:
    using device_list = std::map<std::uint32_t, DEVICE_INFO_EX>;

    // filter decides which modems are probed (the maker's, device_filter::ZuvoDeviceFilter).
    // The devices are read below DeviceRoots::fromEnvironment() or the roots given.
    static constexpr std::chrono::seconds kArrivalGrace{5};
    static constexpr std::chrono::milliseconds kArrivalRetryPause{250};

    explicit DeviceManager(std::unique_ptr<device_filter::DeviceFilter> filter);
    // clock (the steady clock when null) times the retries after a phone's arrival.
    DeviceManager(std::unique_ptr<device_filter::DeviceFilter> filter, DeviceRoots roots,
                  std::unique_ptr<IProbeClock> clock = nullptr);

    // One record of an enumeration; runs on the worker.
    void onDevice(const DEVICE_INFO_EX& device) override;

    ~DeviceManager() override;

    DeviceManager(const DeviceManager&) = delete;
    DeviceManager& operator=(const DeviceManager&) = delete;

    // Prunes the entries whose device has gone, then queues one enumeration that tells sink
    // (may be null) of its progress, unless one is still waiting to run: false when nothing was
    // queued. sink must outlive the enumeration (or the manager).
    bool enumerate(IDeviceListSink* sink);

    // Deletes the enumerations still waiting to run, neither running nor cancelling them.
    void discardQueued();

    // Copies of all entries, in device node order.
    std::vector<DEVICE_INFO_EX> snapshot() const;

    // A copy of the entry of node; false when there is none.
    bool find(std::uint32_t node, DEVICE_INFO_EX& device) const;

    // The device path (port name) of the entry of node; false when there is none.
    bool portNameOf(std::uint32_t node, std::u16string& portName) const;

    // Forgets the entry of the modem whose device path is path (as a tty removal reports it);
    // false when no entry has that path.
    bool removeByPath(std::u16string_view path);

    // Waits, at most timeout, until everything queued on the worker before this call has run
    // or been discarded: after enumerate, until that enumeration has ended. False when the
    // time ran out.
    bool waitForQueued(std::chrono::milliseconds timeout);

    // Why the last enumeration that ended could not read the devices; empty when it could
    // (or none has ended yet).
    std::string lastEnumerationFailure() const;

    const DeviceRoots& roots() const { return tree_.roots(); }

    // Every other serial port attached by USB (DeviceTree::findOtherUsbSerialPorts), with device
    // nodes from the same table as the list's entries, so that a node names one device among
    // both. Nothing is opened; empty when the tty class cannot be read. Any thread.
    std::vector<UsbSerialPort> otherUsbSerialPorts();

private:
    // The last probed record of each modem (by device node), kept apart from the list: a probe
    // counts, and a usable modem is not probed again, also when the list kept another record
    // of the same phone instead.

    void add(const DEVICE_INFO_EX& candidate);
    // When the modem of node arrived (see above), noted the first time it is asked.
    IProbeClock::TimePoint arrivalOf(std::uint32_t node);
    void prune();
    bool ensureWorker();

    DeviceTree tree_;
    const std::unique_ptr<device_filter::DeviceFilter> filter_;
    const std::unique_ptr<IProbeClock> clock_;
    synchronization::Event stopping_{synchronization::Event::Mode::ManualReset};

    mutable std::mutex listMutex_;
    device_list list_;
    device_list probed_;
    std::map<std::uint32_t, IProbeClock::TimePoint> arrivals_;
    std::string lastFailure_;

    std::mutex workerMutex_;  // guards worker_ itself (not the queue, which has its own lock)
    std::unique_ptr<TaskExecutorThread> worker_;  // last: stopped before the rest goes
};
