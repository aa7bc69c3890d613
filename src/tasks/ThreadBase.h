#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "common/Event.h"

// Base of the program's worker threads: one thread per object, created by start and running
// run. Stopping the thread and waiting for it is the derived class's duty: its destructor asks
// run to return and then calls join, because run works on members that are gone once the
// derived destructor has finished.
class ThreadBase {
public:
    ThreadBase(const ThreadBase&) = delete;
    ThreadBase& operator=(const ThreadBase&) = delete;

    // Joins a thread that the derived class left running, as a last resort: better than the
    // process ending, but run may then still be using members of the derived object.
    virtual ~ThreadBase();

    // Creates the thread that calls run. Does nothing when the thread was already started.
    // Returns false when the system refuses to create a thread; the object then stays not
    // started (nothing runs) and start may be called again.
    bool start();

    bool isStarted() const { return thread_.joinable(); }

    // Waits at most timeout for run to return; true when it has returned.
    bool waitForEnd(std::chrono::milliseconds timeout);

    // run's result once it has returned; empty before.
    std::optional<std::uint32_t> exitCode();

protected:
    ThreadBase() = default;

    // The thread's work; its result is the thread's exit code.
    virtual std::uint32_t run() = 0;

    // Waits, without time-out, for a started thread to end; does nothing otherwise. Only the
    // owner's thread calls this.
    void join();

private:
    void threadMain();

    std::thread thread_;
    std::uint32_t exitCode_ = 0;  // written by the thread before ended_ is signalled
    synchronization::Event ended_{synchronization::Event::Mode::ManualReset};
};
