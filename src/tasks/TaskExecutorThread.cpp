#include "tasks/TaskExecutorThread.h"

#include <new>
#include <system_error>

TaskExecutorThread::TaskExecutorThread() try
    : queue_(), stopEvent_(synchronization::Event::Mode::ManualReset) {
} catch (const std::bad_alloc&) {
    throw std::system_error(std::make_error_code(std::errc::not_enough_memory),
                            "cannot create a task executor");
}

TaskExecutorThread::~TaskExecutorThread() {
    stopEvent_.signal();
    queue_.shutDown();  // wakes an idle worker, which then sees the stop
    join();
    clear();
}

void TaskExecutorThread::clear() {
    while (queue_.pop()) {
    }
}

std::uint32_t TaskExecutorThread::run() {
    try {
        for (;;) {
            queue_.notEmptyEvent().wait();

            bool stopSeen = stopEvent_.isSignalled();
            while (!stopSeen) {
                std::unique_ptr<ITask> task = queue_.pop();
                if (!task) {
                    break;  // another thread cleared the queue after the wake-up
                }
                task->run();
                task.reset();  // the next task starts only after this one is gone
                if (queue_.isEmpty()) {
                    break;
                }
                stopSeen = stopEvent_.isSignalled();
            }

            if (stopSeen) {
                // The tasks behind the last one run are discarded, in queue order. Only after a
                // stop: a task pushed just after the queue was found empty is not discarded, it
                // runs after the next wake-up.
                while (std::unique_ptr<ITask> task = queue_.pop()) {
                    task->cancel();
                }
                return 0;
            }
        }
    } catch (const ITask::TerminationException&) {
        // The task was deleted while the exception left the loop; queued tasks wait for clear.
        return 0;
    } catch (...) {
        // A task broke its contract; ending the worker keeps the process alive and the task
        // has been deleted all the same.
        return 1;
    }
}
