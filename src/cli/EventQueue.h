#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

// Hands values from worker threads to the thread that takes them, in the order pushed.
// Neither side ever waits without a bound.
template <typename T>
class EventQueue {
public:
    void push(T value) {
        std::lock_guard<std::mutex> lock(mutex_);
        values_.push_back(std::move(value));
        changed_.notify_one();
    }

    // The oldest value, waiting at most timeout for one to arrive.
    std::optional<T> pop(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return !values_.empty(); })) {
            return std::nullopt;
        }
        T value = std::move(values_.front());
        values_.pop_front();
        return value;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> values_;
};
