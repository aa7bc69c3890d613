#include "devices/DeviceListFollower.h"

#include <system_error>
#include <utility>

DeviceListFollower::DeviceListFollower(DeviceManager& manager, IDeviceListSink* sink,
                                       std::chrono::milliseconds period)
    : manager_(manager), sink_(sink), period_(period) {}

DeviceListFollower::~DeviceListFollower() {
    stop();
}

bool DeviceListFollower::start() {
    if (thread_.joinable())
        return true;
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    try {
        thread_ = std::thread(&DeviceListFollower::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void DeviceListFollower::stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void DeviceListFollower::onDeviceChange(const DeviceNotice& notice) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(notice);
    }
    changed_.notify_all();
}

void DeviceListFollower::run() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point next = Clock::now();  // the first enumeration at once
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait_until(lock, next, [this] { return stopRequested_ || !pending_.empty(); });
        if (stopRequested_)
            return;
        if (!pending_.empty()) {
            std::deque<DeviceNotice> notices;
            notices.swap(pending_);
            lock.unlock();
            bool removed = false;
            for (const DeviceNotice& notice : notices) {
                if (notice.kind == DeviceNotice::Kind::DeviceRemoveComplete &&
                    manager_.removeByPath(notice.devicePath))
                    removed = true;
            }
            next = Clock::now() + period_;
            if (removed && sink_ != nullptr)
                sink_->onListChanged();
            lock.lock();
            continue;
        }
        if (Clock::now() >= next) {
            lock.unlock();
            manager_.enumerate(sink_);
            next = Clock::now() + period_;
            lock.lock();
        }
    }
}
