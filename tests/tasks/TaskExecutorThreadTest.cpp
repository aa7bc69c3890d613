#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/Event.h"
#include "tasks/ITask.h"
#include "tasks/TaskExecutorThread.h"

namespace {

using synchronization::Event;
using namespace std::chrono_literals;
using Entries = std::vector<std::string>;

constexpr auto kLong = 10s;  // bound for waits that succeed at once unless the code is broken

// What the tasks did, in the order they did it, from whichever thread.
class Log {
public:
    void add(std::string entry) {
        {
            std::lock_guard lock(mutex_);
            entries_.push_back(std::move(entry));
        }
        changed_.notify_all();
    }

    Entries entries() {
        std::lock_guard lock(mutex_);
        return entries_;
    }

    // Waits at most kLong for entry to be logged.
    bool waitFor(const std::string& entry) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kLong, [&] {
            for (const auto& e : entries_) {
                if (e == entry) {
                    return true;
                }
            }
            return false;
        });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Entries entries_;
};

// A task that logs "<name> run", "<name> cancel" and "<name> deleted". When given a gate, run
// logs "<name> waits" and waits for the gate before it goes on.
class RecordingTask : public ITask {
public:
    enum class Ending { Return, Terminate, ThrowOther };

    RecordingTask(Log& log, std::string name, Event* gate = nullptr, Ending ending = Ending::Return)
        : log_(log), name_(std::move(name)), gate_(gate), ending_(ending) {}
    ~RecordingTask() override { log_.add(name_ + " deleted"); }

    void run() override {
        if (gate_ != nullptr) {
            log_.add(name_ + " waits");
            if (!gate_->wait(kLong)) {
                log_.add(name_ + " gate timed out");
            }
        }
        log_.add(name_ + " run");
        if (ending_ == Ending::Terminate) {
            throw TerminationException(5);
        }
        if (ending_ == Ending::ThrowOther) {
            throw std::runtime_error("broken task");
        }
    }

    void cancel() override { log_.add(name_ + " cancel"); }

private:
    Log& log_;
    std::string name_;
    Event* gate_;
    Ending ending_;
};

// Ends the test program when the test makes no progress for `limit` (a test that runs long
// calls kick now and then), so that a destructor that never returns shows as a failure at
// once instead of a hang.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit = 20s)
        : thread_([this, limit] {
              while (!done_) {
                  if (!beat_.wait(limit)) {
                      std::fprintf(stderr, "no progress for %llds: hung?\n",
                                   static_cast<long long>(limit.count()));
                      std::abort();
                  }
              }
          }) {}
    ~Watchdog() {
        done_ = true;
        beat_.signal();
        thread_.join();
    }

    void kick() { beat_.signal(); }

private:
    std::atomic<bool> done_{false};
    Event beat_{Event::Mode::AutoReset};
    std::thread thread_;
};

// Spins until flag is set, yielding after a while in case the thread that sets it needs this
// core. Spinning keeps the waiting thread awake, so that it acts close behind the other one.
void spinUntil(const std::atomic<bool>& flag) {
    for (int spin = 0; !flag; ++spin) {
        if (spin > 2000) {
            std::this_thread::yield();
        }
    }
}

class TaskExecutorThreadTest : public ::testing::Test {
protected:
    void push(const std::string& name, Event* taskGate = nullptr,
              RecordingTask::Ending ending = RecordingTask::Ending::Return) {
        executor->queue().push(std::make_unique<RecordingTask>(log, name, taskGate, ending));
    }

    Watchdog watchdog;  // outlives the executor, whose destructor it guards
    Log log;
    Event gate{Event::Mode::ManualReset};
    std::unique_ptr<TaskExecutorThread> executor = std::make_unique<TaskExecutorThread>();
};

TEST_F(TaskExecutorThreadTest, RunsTasksOneAfterAnotherInQueueOrder) {
    ASSERT_TRUE(executor->start());
    push("A", &gate);
    push("B");
    push("C");
    ASSERT_TRUE(log.waitFor("A waits"));
    gate.signal();
    ASSERT_TRUE(log.waitFor("C deleted"));
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted", "B run", "B deleted",
                                      "C run", "C deleted"}));
    EXPECT_FALSE(executor->waitForEnd(0ms));
    executor.reset();
    EXPECT_EQ(log.entries().size(), 7u);
}

TEST_F(TaskExecutorThreadTest, StopWhileATaskRunsCancelsTheRestAndEndsTheThread) {
    ASSERT_TRUE(executor->start());
    push("A", &gate);
    push("B");
    push("C");
    ASSERT_TRUE(log.waitFor("A waits"));
    executor->stopEvent().signal();
    gate.signal();
    ASSERT_TRUE(executor->waitForEnd(kLong));
    EXPECT_EQ(executor->exitCode(), 0u);
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted", "B cancel", "B deleted",
                                      "C cancel", "C deleted"}));

    push("D");  // nothing runs it any more; destruction deletes it
    EXPECT_FALSE(executor->queue().isEmpty());
    executor.reset();
    EXPECT_EQ(log.entries().back(), "D deleted");
    EXPECT_EQ(log.entries().size(), 8u);
}

TEST_F(TaskExecutorThreadTest, StopWhileIdleCancelsTheNextPushedTask) {
    ASSERT_TRUE(executor->start());
    push("A");
    ASSERT_TRUE(log.waitFor("A deleted"));
    executor->stopEvent().signal();
    EXPECT_FALSE(executor->waitForEnd(50ms)) << "an idle worker wakes only for a task";

    push("B");
    ASSERT_TRUE(executor->waitForEnd(kLong));
    EXPECT_EQ(log.entries(), (Entries{"A run", "A deleted", "B cancel", "B deleted"}));
    executor.reset();
}

TEST_F(TaskExecutorThreadTest, TerminationEndsTheThreadAndLeavesTheRestForDestruction) {
    ASSERT_TRUE(executor->start());
    push("A", &gate, RecordingTask::Ending::Terminate);
    push("B");
    push("C");
    gate.signal();
    ASSERT_TRUE(executor->waitForEnd(kLong));
    EXPECT_EQ(executor->exitCode(), 0u);
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted"}));
    EXPECT_FALSE(executor->queue().isEmpty());

    executor.reset();
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted", "B deleted", "C deleted"}));
}

// A task whose cancel throws the termination ends the discarding too.
TEST_F(TaskExecutorThreadTest, TerminationFromCancelStopsDiscarding) {
    class TerminatingCancel : public RecordingTask {
    public:
        using RecordingTask::RecordingTask;
        void cancel() override {
            RecordingTask::cancel();
            throw TerminationException(0);
        }
    };
    ASSERT_TRUE(executor->start());
    push("A", &gate);
    executor->queue().push(std::make_unique<TerminatingCancel>(log, "B"));
    push("C");
    ASSERT_TRUE(log.waitFor("A waits"));
    executor->stopEvent().signal();
    gate.signal();
    ASSERT_TRUE(executor->waitForEnd(kLong));
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted", "B cancel", "B deleted"}));
    executor.reset();
    EXPECT_EQ(log.entries().back(), "C deleted");
}

TEST_F(TaskExecutorThreadTest, AnotherExceptionFromATaskEndsTheThreadWithoutALeak) {
    ASSERT_TRUE(executor->start());
    push("A", &gate, RecordingTask::Ending::ThrowOther);
    push("B");
    gate.signal();
    ASSERT_TRUE(executor->waitForEnd(kLong));
    EXPECT_EQ(executor->exitCode(), 1u);
    EXPECT_EQ(log.entries(), (Entries{"A waits", "A run", "A deleted"}));
    executor.reset();
    EXPECT_EQ(log.entries().back(), "B deleted");
}

TEST_F(TaskExecutorThreadTest, NeverStartedExecutorDeletesItsTasksUnrun) {
    push("A");
    push("B");
    executor.reset();
    EXPECT_EQ(log.entries(), (Entries{"A deleted", "B deleted"}));
}

TEST_F(TaskExecutorThreadTest, ClearDeletesQueuedTasksWithoutRunningThem) {
    ASSERT_TRUE(executor->start());
    push("A", &gate);
    push("B");
    push("C");
    ASSERT_TRUE(log.waitFor("A waits"));
    executor->clear();
    EXPECT_EQ(log.entries(), (Entries{"A waits", "B deleted", "C deleted"}));
    EXPECT_TRUE(executor->queue().isEmpty());

    gate.signal();
    push("D");
    ASSERT_TRUE(log.waitFor("D deleted"));
    EXPECT_EQ(log.entries(), (Entries{"A waits", "B deleted", "C deleted", "A run", "A deleted",
                                      "D run", "D deleted"}));
    executor.reset();
}

// Destruction wakes the worker and returns wherever the worker is: starting, waiting, or
// between its last look at the stop event and the pop that empties the queue (a wake-up that
// this pop reset would be lost). The first task holds the worker until the test lets it go;
// the test then destroys the executor a little later each round, walking the destructor across
// the worker's way to the second task.
TEST(TaskExecutorThread, DestructionAlwaysReturnsWhereverTheWorkerIs) {
    Watchdog watchdog;
    for (int i = 0; i < 200; ++i) {
        TaskExecutorThread executor;
        ASSERT_TRUE(executor.start());
    }

    class HoldingTask : public ITask {
    public:
        HoldingTask(std::atomic<int>& deletions, std::atomic<bool>* started = nullptr,
                    std::atomic<bool>* go = nullptr)
            : deletions_(deletions), started_(started), go_(go) {}
        ~HoldingTask() override { ++deletions_; }
        void run() override {
            if (started_ != nullptr) {
                *started_ = true;
                spinUntil(*go_);
            }
        }

    private:
        std::atomic<int>& deletions_;
        std::atomic<bool>* started_;
        std::atomic<bool>* go_;
    };
    std::atomic<int> deleted{0};
    constexpr int kRounds = 2000;
    const auto deadline = std::chrono::steady_clock::now() + 5s;  // for slow, shared machines
    int rounds = 0;
    for (int i = 0; i < kRounds && std::chrono::steady_clock::now() < deadline; ++i, ++rounds) {
        watchdog.kick();
        auto executor = std::make_unique<TaskExecutorThread>();
        std::atomic<bool> started{false};
        std::atomic<bool> go{false};
        executor->queue().push(std::make_unique<HoldingTask>(deleted, &started, &go));
        executor->queue().push(std::make_unique<HoldingTask>(deleted));
        ASSERT_TRUE(executor->start());
        spinUntil(started);
        go = true;
        const auto destroyAt = std::chrono::steady_clock::now() + (i % 400) * 2ns;
        while (std::chrono::steady_clock::now() < destroyAt) {
        }
        executor.reset();
    }
    EXPECT_EQ(deleted, 2 * rounds);
}

// clear racing with the worker: each task is either run or deleted by clear, never both, never
// lost, and never cancelled since nothing asked to stop. A worker that found the queue emptied
// under it goes back to waiting and runs the probe pushed right after the clear. The clear
// comes a little later each round, after the worker wakes to a push (a sleeping worker) or after
// it finishes a task that held it (a busy worker, whose timing is tighter).
TEST(TaskExecutorThread, ClearRacingTheWorkerLosesNothingAndCancelsNothing) {
    struct Counts {
        std::atomic<int> ran{0};
        std::atomic<int> cancelled{0};
        std::atomic<int> deleted{0};
    } counts;
    class CountingTask : public ITask {
    public:
        CountingTask(Counts& taskCounts, Event* done = nullptr,
                     std::atomic<bool>* started = nullptr, std::atomic<bool>* go = nullptr)
            : counts_(taskCounts), done_(done), started_(started), go_(go) {}
        ~CountingTask() override { ++counts_.deleted; }
        void run() override {
            ++counts_.ran;
            if (started_ != nullptr) {
                *started_ = true;
                spinUntil(*go_);
            }
            if (done_ != nullptr) {
                done_->signal();
            }
        }
        void cancel() override {
            ++counts_.cancelled;
            if (done_ != nullptr) {
                done_->signal();
            }
        }

    private:
        Counts& counts_;
        Event* done_;
        std::atomic<bool>* started_;
        std::atomic<bool>* go_;
    };

    Watchdog watchdog;
    constexpr int kRounds = 2000;
    int tasks = 0;
    {
        TaskExecutorThread executor;
        ASSERT_TRUE(executor.start());
        Event probeDone(Event::Mode::AutoReset);
        for (int i = 0; i < kRounds; ++i) {
            watchdog.kick();
            const bool busy = i % 2 == 1;
            std::atomic<bool> started{false};
            std::atomic<bool> go{false};
            if (busy) {
                executor.queue().push(
                    std::make_unique<CountingTask>(counts, nullptr, &started, &go));
                ++tasks;
            }
            executor.queue().push(std::make_unique<CountingTask>(counts));
            ++tasks;
            std::chrono::nanoseconds delay = (i % 512) * 50ns;  // the worker wakes in microseconds
            if (busy) {
                spinUntil(started);
                go = true;
                delay = (i % 400) * 2ns;  // the worker is awake and close behind
            }
            const auto clearAt = std::chrono::steady_clock::now() + delay;
            while (std::chrono::steady_clock::now() < clearAt) {
            }
            executor.clear();
            executor.queue().push(std::make_unique<CountingTask>(counts, &probeDone));
            ++tasks;
            ASSERT_TRUE(probeDone.wait(kLong)) << "round " << i;
            ASSERT_EQ(counts.cancelled, 0) << "round " << i;
        }
    }
    EXPECT_GE(counts.ran, kRounds);
    EXPECT_EQ(counts.deleted, tasks);
}

}  // namespace
