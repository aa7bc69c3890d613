#include "tasks/ThreadBase.h"

#include <exception>

ThreadBase::~ThreadBase() {
    join();
}

bool ThreadBase::start() {
    if (thread_.joinable()) {
        return true;
    }
    try {
        thread_ = std::thread(&ThreadBase::threadMain, this);
    } catch (const std::exception&) {  // std::system_error, or std::bad_alloc for its state
        return false;
    }
    return true;
}

bool ThreadBase::waitForEnd(std::chrono::milliseconds timeout) {
    return ended_.wait(timeout);
}

std::optional<std::uint32_t> ThreadBase::exitCode() {
    if (!ended_.isSignalled()) {
        return std::nullopt;
    }
    return exitCode_;
}

void ThreadBase::join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ThreadBase::threadMain() {
    exitCode_ = run();
    ended_.signal();
}
