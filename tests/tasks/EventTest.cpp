#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tasks/Event.h"

namespace {

using synchronization::Event;
using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::Mode::ManualReset);
    EXPECT_FALSE(event.wait(0ms));
    event.signal();
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_TRUE(event.wait(0ms));
    event.reset();
    EXPECT_FALSE(event.wait(10ms));
}

TEST(Event, AutoResetReleasesOneWaitAndResets) {
    Event event(Event::Mode::AutoReset, true);
    EXPECT_TRUE(event.wait(0ms));
    EXPECT_FALSE(event.wait(0ms));
}

TEST(Event, WakesAWaiterOnAnotherThread) {
    Event event(Event::Mode::ManualReset);
    std::atomic<bool> released{false};
    std::thread waiter([&] {
        event.wait();
        released = true;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(released);
    event.signal();
    waiter.join();
    EXPECT_TRUE(released);
}

TEST(Event, AutoResetReleasesExactlyOneOfTwoWaiters) {
    Event event(Event::Mode::AutoReset);
    std::atomic<int> released{0};
    auto waitOnce = [&] {
        if (event.wait(2000ms))
            ++released;
    };
    std::thread first(waitOnce);
    std::thread second(waitOnce);
    event.signal();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(released, 1);
    event.signal();
    first.join();
    second.join();
    EXPECT_EQ(released, 2);
    EXPECT_FALSE(event.wait(0ms));
}

}  // namespace
