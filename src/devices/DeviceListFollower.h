#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "devices/DeviceManager.h"
#include "devices/DeviceNotice.h"
#include "devices/IDeviceChangeSink.h"
#include "devices/IDeviceListSink.h"

// Keeps a DeviceManager's list current, for front ends without a timer of their own (the
// command-line tool): an enumeration at start and then one every period. A device-change
// notice restarts the period, so that the next enumeration follows one period after the last
// change; a tty removal forgets its entry at once (removeByPath) and tells the sink.
//
// Notices may come from any thread (a UeventMonitor, a test); the enumerations are queued from
// the follower's own thread. The sink is called on that thread and on the manager's worker.
class DeviceListFollower : public IDeviceChangeSink {
public:
    static constexpr std::chrono::milliseconds kEnumerationPeriod{3000};

    // manager and sink (may be null) must outlive the follower.
    DeviceListFollower(DeviceManager& manager, IDeviceListSink* sink,
                       std::chrono::milliseconds period = kEnumerationPeriod);
    ~DeviceListFollower() override;  // stop()
    DeviceListFollower(const DeviceListFollower&) = delete;
    DeviceListFollower& operator=(const DeviceListFollower&) = delete;

    // Starts following; false when the system gives no thread.
    bool start();

    // Stops following; returns without waiting for the period. Enumerations already queued
    // stay with the manager.
    void stop();

    void onDeviceChange(const DeviceNotice& notice) override;

private:
    void run();

    DeviceManager& manager_;
    IDeviceListSink* const sink_;
    const std::chrono::milliseconds period_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<DeviceNotice> pending_;
    bool stopRequested_ = false;
    std::thread thread_;
};
