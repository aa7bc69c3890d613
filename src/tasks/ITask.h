#pragma once

#include <cstdint>
#include <exception>

// A piece of work queued on a TaskExecutorThread and run on its worker thread. The executor
// owns queued tasks and deletes them after run or cancel, or unrun when it is destroyed.
class ITask {
public:
    // Thrown out of run or cancel to end the executor's thread: the task is deleted and no
    // further queued task is run or cancelled.
    class TerminationException : public std::exception {
    public:
        explicit TerminationException(std::int32_t resultCode) : code(resultCode) {}
        const char* what() const noexcept override { return "task ended its worker thread"; }

        std::int32_t code;
    };

    virtual ~ITask() = default;

    // The task's work. May throw TerminationException; no other exception may escape.
    virtual void run() = 0;

    // Called instead of run when the task is discarded because a stop was requested.
    virtual void cancel() {}

protected:
    ITask() = default;
    ITask(const ITask&) = default;
    ITask& operator=(const ITask&) = default;
};
