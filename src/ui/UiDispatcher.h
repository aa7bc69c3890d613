#pragma once

#include <functional>
#include <memory>

// Carries calls from worker threads to the UI thread. The sinks that the phone manager and
// the device manager call on their worker threads post a call here and return at once; the
// call runs later on the thread that made the dispatcher, in its event loop, in the order
// posted.
//
// A page owns its dispatcher (as a member). Once the dispatcher is closed or destroyed, calls
// still queued never run and later posts are dropped, so a call may safely use the page that
// posted it even when the page goes away while a worker is still reporting.
//
//     // in the page:    UiDispatcher dispatcher_;
//     // in a sink, on a worker thread:
//     dispatcher_.post([this, position] { progress_->setValue(position); });
class UiDispatcher final {
    struct Channel;

public:
    // A copyable, thread-safe handle for posting, for code that must not reach the owner.
    class Poster {
    public:
        Poster() = default;
        // Queues the call; false (and the call is dropped) when the dispatcher is closed.
        bool post(std::function<void()> call) const;

    private:
        friend class UiDispatcher;
        explicit Poster(std::shared_ptr<Channel> channel) : channel_(std::move(channel)) {}
        std::shared_ptr<Channel> channel_;
    };

    // Calls run on the calling thread, which must have a Qt event loop (the UI thread).
    UiDispatcher();
    // Closes; on the thread that made the dispatcher.
    ~UiDispatcher();
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    // From any thread; false (and the call is dropped) when the dispatcher is closed.
    bool post(std::function<void()> call) const;
    Poster poster() const { return Poster(channel_); }

    // Drops the calls still queued and every later post. On the thread that made the
    // dispatcher; a call that is running at the time finishes.
    void close();

private:
    std::shared_ptr<Channel> channel_;
};
