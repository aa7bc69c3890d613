#pragma once

#include <cstdint>
#include <memory>

#include "common/Event.h"
#include "tasks/ITask.h"
#include "tasks/SyncQueue.h"
#include "tasks/ThreadBase.h"

// A worker thread that runs queued tasks one at a time, in queue order. Owners construct it,
// call start once, push tasks from any thread and destroy it to stop: destruction signals the
// stop event, waits for the running task to return, and deletes the tasks still queued without
// running or cancelling them.
//
// Once the stop event is signalled the worker runs no further task: when the running task
// returns, the tasks waiting behind it get cancel instead of run and the thread ends. A stop
// signalled while the worker is idle takes effect at the next push, whose task is cancelled.
// A task that throws ITask::TerminationException ends the thread at once; tasks still queued
// then stay until destruction deletes them. After the thread has ended, push still succeeds
// but nothing runs the task.
class TaskExecutorThread : public ThreadBase {
public:
    using TaskQueue = synchronization::SyncQueue<std::unique_ptr<ITask>>;

    // Does not start the thread. Fails with std::system_error when its resources cannot be
    // created; nothing is left behind then.
    TaskExecutorThread();
    ~TaskExecutorThread() override;

    // Producers push tasks and ask isEmpty here; pushing hands the task to the executor (if
    // push fails for want of memory, the task is deleted and std::bad_alloc propagates).
    TaskQueue& queue() { return queue_; }

    // Manual-reset, never reset. Tasks poll it at their safe points; owners signal it to stop.
    synchronization::Event& stopEvent() { return stopEvent_; }

    // Deletes every queued task without running or cancelling it. Safe while the worker runs.
    void clear();

protected:
    // The worker loop; returns 0 when it ends by a stop or a TerminationException, 1 when a task
    // broke its contract by letting another exception escape (that also ends the thread).
    std::uint32_t run() override;

private:
    TaskQueue queue_;
    synchronization::Event stopEvent_;
};
