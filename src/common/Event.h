#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace synchronization {

// A waitable flag shared between threads. A manual-reset event stays signalled until reset and
// releases every waiter; an auto-reset event releases one waiter and resets itself.
class Event {
public:
    enum class Mode { ManualReset, AutoReset };

    explicit Event(Mode mode, bool signalled = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void signal();
    void reset();

    // Waits until the event is signalled.
    void wait();

    // Waits at most timeout (zero: only looks); true when the event was signalled.
    bool wait(std::chrono::milliseconds timeout);

    // Looks without waiting; an auto-reset event is consumed when found signalled.
    bool isSignalled() { return wait(std::chrono::milliseconds(0)); }

private:
    const Mode mode_;
    bool signalled_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace synchronization
