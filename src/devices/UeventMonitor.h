#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "devices/IDeviceChangeSink.h"
#include "devices/UeventSocket.h"

// Follows the kernel's device events in a thread of its own and hands the ones that concern
// phones to a sink as DeviceNotices (see noticeOf): only messages of the kernel, never those
// of other programs, malformed ones or ones cut short. When the kernel had to drop events
// because they came faster than they were read, the sink gets a DevNodesChanged notice.
//
// Where no socket can be had (start returns false), a device list stays current through its
// periodic enumeration alone.
class UeventMonitor {
public:
    // Notices go to sink, on the monitor's thread; device paths are built below devRoot.
    UeventMonitor(IDeviceChangeSink& sink, std::filesystem::path devRoot);
    ~UeventMonitor();  // stop()
    UeventMonitor(const UeventMonitor&) = delete;
    UeventMonitor& operator=(const UeventMonitor&) = delete;

    // Opens the socket and starts the thread; false when the system gives no socket or thread
    // (error() says why). Does nothing and returns true while it runs.
    bool start();

    // Ends the thread and closes the socket; returns at once, without waiting for any event.
    // The sink is not called after stop has returned.
    void stop();

    bool isRunning() const { return thread_.joinable(); }

    // The port id of the monitor's socket while it runs, 0 otherwise.
    std::uint32_t portId() const { return socket_ ? socket_->portId() : 0; }

    // The errno of what failed in start, or of the socket when reading it failed later; 0 if
    // nothing did.
    int error() const { return error_.load(); }

private:
    void run();

    IDeviceChangeSink& sink_;
    const std::filesystem::path devRoot_;
    std::unique_ptr<UeventSocket> socket_;
    int wakeFd_ = -1;
    std::atomic<int> error_{0};
    std::thread thread_;
};
