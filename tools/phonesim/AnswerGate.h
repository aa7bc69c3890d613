#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "phonesim/CommandPattern.h"
#include "phonesim/WakeSignal.h"

namespace phonesim {

// Holds the phone's answer to the first command that matches, until the test releases it or the
// hold limit passes; the phone sends nothing for that command meanwhile, not even its echo. A
// test uses it to act exactly while the program waits for a given answer (keep it under the
// program's 2000 ms of silence, unless that silence is what the test is after). One use only.
class AnswerGate {
public:
    using Clock = std::chrono::steady_clock;

    AnswerGate(CommandMatcher matcher, std::chrono::milliseconds holdLimit,
               std::shared_ptr<WakeSignal> wake);
    AnswerGate(const AnswerGate&) = delete;
    AnswerGate& operator=(const AnswerGate&) = delete;

    // Waits until the phone holds a matching command (true), or the time-out passes, or the
    // phone went away without ever holding one (false).
    bool waitUntilHeld(std::chrono::milliseconds timeout) const;

    // Lets the phone answer. Released before the command arrived, the gate lets it pass at once.
    void release();

    bool isHolding() const;
    std::string heldCommand() const;

    // For the phone's thread: takes the command when the gate is armed and it matches.
    bool claim(const std::string& command);
    // For the phone's thread: true while the answer must still wait.
    bool holding(Clock::time_point now) const;
    Clock::time_point deadline() const;
    // For the phone's thread: the answer goes out (or the phone went away): the gate is spent.
    void finish();

private:
    enum class State { Armed, Holding, Spent };

    const CommandMatcher matcher_;
    const std::chrono::milliseconds holdLimit_;
    const std::shared_ptr<WakeSignal> wake_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    State state_ = State::Armed;
    bool held_ = false;
    bool released_ = false;
    Clock::time_point deadline_{};
    std::string command_;
};

}  // namespace phonesim
