#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <utility>

#include "common/Event.h"

namespace synchronization {

// First-in-first-out queue shared between producer threads and one consumer. notEmptyEvent is a
// manual-reset event that is signalled whenever items wait: push signals it and the pop that
// empties the queue resets it, both under the lock, so a consumer waiting on it cannot miss an
// item. A consumer that wakes re-checks with pop, which returns an empty item when another
// thread took the items first. Lock is a mutex type; EventT is constructible from
// (EventT::Mode::ManualReset) with signal, reset and wait like synchronization::Event (and a
// wait with a time-out for popWithin).
template <typename T, typename Lock, typename EventT>
class SyncQueueBase {
public:
    SyncQueueBase() : notEmptyEvent_(EventT::Mode::ManualReset) {}
    SyncQueueBase(const SyncQueueBase&) = delete;
    SyncQueueBase& operator=(const SyncQueueBase&) = delete;
    virtual ~SyncQueueBase() = default;

    void push(T item) {
        std::lock_guard guard(lock_);
        items_.push_back(std::move(item));
        notEmptyEvent_.signal();
    }

    // The oldest item, or an empty T (a null pointer) when nothing waits.
    T pop() {
        std::lock_guard guard(lock_);
        if (items_.empty()) {
            return T{};
        }
        T item = std::move(items_.front());
        items_.pop_front();
        if (items_.empty() && !shutDown_) {
            notEmptyEvent_.reset();
        }
        return item;
    }

    // The oldest item, waiting at most timeout for one to arrive; an empty T when none came (or
    // another consumer took it first).
    T popWithin(std::chrono::milliseconds timeout) {
        notEmptyEvent_.wait(timeout);
        return pop();
    }

    bool isEmpty() const {
        std::lock_guard guard(lock_);
        return items_.empty();
    }

    // For waiting only: the queue alone signals and resets it.
    EventT& notEmptyEvent() { return notEmptyEvent_; }

    // Signals notEmptyEvent and keeps it signalled from now on, also while the queue is empty,
    // so that a consumer waiting now or later wakes and looks at whatever its owner set before
    // calling this (a stop request). Without this, a pop emptying the queue just after the
    // wake-up would reset the event and leave the consumer waiting for good. push and pop
    // still work.
    void shutDown() {
        std::lock_guard guard(lock_);
        shutDown_ = true;
        notEmptyEvent_.signal();
    }

private:
    std::deque<T> items_;
    bool shutDown_ = false;
    mutable Lock lock_;
    EventT notEmptyEvent_;
};

// The queue the program uses: a std::mutex and synchronization::Event.
template <typename T>
class SyncQueue : public SyncQueueBase<T, std::mutex, Event> {
public:
    SyncQueue() = default;
    ~SyncQueue() override = default;
};

}  // namespace synchronization
