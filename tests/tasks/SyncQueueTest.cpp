#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "tasks/SyncQueue.h"

namespace {

using synchronization::SyncQueue;
using namespace std::chrono_literals;

TEST(SyncQueue, PopsInPushOrderAndGivesNullWhenEmpty) {
    SyncQueue<std::unique_ptr<int>> queue;
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.pop(), nullptr);

    for (int i = 1; i <= 3; ++i) {
        queue.push(std::make_unique<int>(i));
    }
    EXPECT_FALSE(queue.isEmpty());
    for (int i = 1; i <= 3; ++i) {
        std::unique_ptr<int> item = queue.pop();
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(*item, i);
    }
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.pop(), nullptr);
}

TEST(SyncQueue, NotEmptyEventFollowsTheItems) {
    SyncQueue<int*> queue;
    int a = 0, b = 0;
    EXPECT_FALSE(queue.notEmptyEvent().isSignalled());
    queue.push(&a);
    queue.push(&b);
    EXPECT_TRUE(queue.notEmptyEvent().isSignalled());
    EXPECT_EQ(queue.pop(), &a);
    EXPECT_TRUE(queue.notEmptyEvent().isSignalled()) << "one item still waits";
    EXPECT_EQ(queue.pop(), &b);
    EXPECT_FALSE(queue.notEmptyEvent().isSignalled());
    EXPECT_EQ(queue.pop(), nullptr);
    EXPECT_FALSE(queue.notEmptyEvent().isSignalled());
}

TEST(SyncQueue, ShutDownKeepsTheEventSignalledWhenEmptied) {
    SyncQueue<int*> queue;
    int a = 0, b = 0;
    queue.push(&a);
    queue.shutDown();
    EXPECT_EQ(queue.pop(), &a);
    EXPECT_TRUE(queue.notEmptyEvent().isSignalled());
    queue.push(&b);
    EXPECT_EQ(queue.pop(), &b);
    EXPECT_TRUE(queue.notEmptyEvent().isSignalled());
    EXPECT_TRUE(queue.isEmpty());
}

// Producers push while a consumer waits on the event and pops: nothing is lost or duplicated,
// and each producer's items arrive in the order it pushed them.
TEST(SyncQueue, ConsumerWaitingOnTheEventGetsEveryItemOfConcurrentProducers) {
    constexpr int kProducers = 3;
    constexpr int kItemsEach = 2000;
    SyncQueue<std::unique_ptr<std::pair<int, int>>> queue;

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kItemsEach; ++i) {
                queue.push(std::make_unique<std::pair<int, int>>(p, i));
            }
        });
    }

    std::vector<int> next(kProducers, 0);
    int received = 0;
    bool timedOut = false;
    while (received < kProducers * kItemsEach) {
        if (!queue.notEmptyEvent().wait(10s)) {
            timedOut = true;
            break;
        }
        while (auto item = queue.pop()) {
            auto [producer, index] = *item;
            EXPECT_EQ(index, next[static_cast<std::size_t>(producer)]) << "producer " << producer;
            next[static_cast<std::size_t>(producer)] = index + 1;
            ++received;
        }
    }
    for (auto& producer : producers) {
        producer.join();
    }
    EXPECT_FALSE(timedOut) << "an item was pushed without the event being signalled";
    EXPECT_EQ(received, kProducers * kItemsEach);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_FALSE(queue.notEmptyEvent().isSignalled());
}

}  // namespace
