#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/Event.h"
#include "tasks/ThreadBase.h"

namespace {

using synchronization::Event;
using namespace std::chrono_literals;

class CountingThread : public ThreadBase {
public:
    ~CountingThread() override {
        release.signal();
        join();
    }

    std::atomic<int> runs{0};
    std::thread::id runThread;
    Event release{Event::Mode::ManualReset};

protected:
    std::uint32_t run() override {
        ++runs;
        runThread = std::this_thread::get_id();
        release.wait(10s);
        return 42;
    }
};

TEST(ThreadBase, StartsOneThreadThatReportsRunsResult) {
    CountingThread thread;
    EXPECT_FALSE(thread.isStarted());
    EXPECT_FALSE(thread.exitCode().has_value());

    EXPECT_TRUE(thread.start());
    EXPECT_TRUE(thread.start()) << "a second start keeps the running thread";
    EXPECT_TRUE(thread.isStarted());
    EXPECT_FALSE(thread.waitForEnd(20ms));
    EXPECT_FALSE(thread.exitCode().has_value());

    thread.release.signal();
    ASSERT_TRUE(thread.waitForEnd(10s));
    EXPECT_EQ(thread.exitCode(), 42u);
    EXPECT_EQ(thread.runs, 1);
    EXPECT_NE(thread.runThread, std::this_thread::get_id());

    EXPECT_TRUE(thread.start()) << "an ended thread is not started again";
    EXPECT_EQ(thread.runs, 1);
}

}  // namespace
