#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "common/Event.h"

namespace {

using synchronization::Event;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::Mode::ManualReset);
    EXPECT_FALSE(event.wait(0ms));
    event.signal();
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_TRUE(event.wait(0ms));
    event.reset();
    EXPECT_FALSE(event.isSignalled());
}

TEST(Event, AutoResetReleasesOneWaitAndResets) {
    Event event(Event::Mode::AutoReset, true);
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_FALSE(event.wait(0ms));
    event.signal();
    EXPECT_TRUE(event.isSignalled());
    EXPECT_FALSE(event.isSignalled());
}

TEST(Event, TimedWaitGivesUpAfterItsTimeout) {
    Event event(Event::Mode::ManualReset);
    const auto begin = Clock::now();
    EXPECT_FALSE(event.wait(30ms));
    EXPECT_GE(Clock::now() - begin, 30ms);
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    // The waiter notes whether the signal had been given when its wait returned: a wait that
    // returned early sees it not given yet.
    Event event(Event::Mode::ManualReset);
    Event waiting(Event::Mode::ManualReset);
    std::atomic<bool> signalGiven{false};
    std::atomic<bool> sawSignal{false};
    std::thread waiter([&] {
        waiting.signal();
        event.wait();
        sawSignal = signalGiven.load();
    });
    ASSERT_TRUE(waiting.wait(10s));
    signalGiven = true;
    event.signal();
    waiter.join();
    EXPECT_TRUE(sawSignal);
}

TEST(Event, TimedWaiterWakesAtTheSignalNotAtItsTimeout) {
    Event event(Event::Mode::AutoReset);
    std::atomic<bool> result{false};
    std::thread waiter([&] { result = event.wait(60s); });
    event.signal();
    waiter.join();  // returns long before the minute is up unless the signal was missed
    EXPECT_TRUE(result);
    EXPECT_FALSE(event.isSignalled()) << "the waiter consumed the signal";
}

TEST(Event, ManualResetReleasesEveryWaiter) {
    Event event(Event::Mode::ManualReset);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            if (event.wait(10s)) {
                ++released;
            }
        });
    }
    event.signal();
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(released, 4);
    EXPECT_TRUE(event.isSignalled());
}

// One signal of an auto-reset event is consumed exactly once, whoever waits first.
TEST(Event, AutoResetSignalReleasesExactlyOneOfTwoWaiters) {
    Event event(Event::Mode::AutoReset);
    std::atomic<int> released{0};
    auto waitOnce = [&] {
        if (event.wait(300ms)) {
            ++released;
        }
    };
    std::thread first(waitOnce);
    std::thread second(waitOnce);
    event.signal();
    first.join();
    second.join();
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(event.isSignalled());
}

// A waiter may destroy the event as soon as its wait returns, while the signalling thread is
// still inside signal (the sanitizer builds see a use after destruction otherwise).
TEST(Event, WaiterMayDestroyTheEventOnceItsWaitReturns) {
    for (int i = 0; i < 500; ++i) {
        auto event =
            std::make_unique<Event>(i % 2 == 0 ? Event::Mode::ManualReset : Event::Mode::AutoReset);
        std::thread signaller([&event] { event->signal(); });
        ASSERT_TRUE(event->wait(10s));
        event.reset();
        signaller.join();
    }
}

}  // namespace
