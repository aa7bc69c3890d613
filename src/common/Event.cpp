#include "common/Event.h"

namespace synchronization {

Event::Event(Mode mode, bool signalled) : mode_(mode), signalled_(signalled) {}

void Event::signal() {
    // Notifies under the lock: a waiter that returns may destroy the event at once (an event
    // on its stack), which must not happen while this call still uses the condition variable.
    std::lock_guard lock(mutex_);
    signalled_ = true;
    if (mode_ == Mode::ManualReset) {
        changed_.notify_all();
    } else {
        changed_.notify_one();
    }
}

void Event::reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void Event::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
    if (mode_ == Mode::AutoReset) {
        signalled_ = false;
    }
}

bool Event::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    // A zero time-out only looks: without this, wait_for would still go through a timed wait
    // in the kernel, which costs a system call on every poll.
    if (!signalled_ && timeout <= std::chrono::milliseconds(0)) {
        return false;
    }
    if (!changed_.wait_for(lock, timeout, [this] { return signalled_; })) {
        return false;
    }
    if (mode_ == Mode::AutoReset) {
        signalled_ = false;
    }
    return true;
}

}  // namespace synchronization
