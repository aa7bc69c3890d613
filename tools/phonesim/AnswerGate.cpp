#include "phonesim/AnswerGate.h"

namespace phonesim {

AnswerGate::AnswerGate(CommandMatcher matcher, std::chrono::milliseconds holdLimit,
                       std::shared_ptr<WakeSignal> wake)
    : matcher_(std::move(matcher)), holdLimit_(holdLimit), wake_(std::move(wake)) {}

bool AnswerGate::waitUntilHeld(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [this] { return held_ || state_ == State::Spent; });
    return held_;
}

void AnswerGate::release() {
    {
        const std::lock_guard lock(mutex_);
        released_ = true;
    }
    wake_->notify();
}

bool AnswerGate::isHolding() const {
    const std::lock_guard lock(mutex_);
    return state_ == State::Holding;
}

std::string AnswerGate::heldCommand() const {
    const std::lock_guard lock(mutex_);
    return command_;
}

bool AnswerGate::claim(const std::string& command) {
    {
        const std::lock_guard lock(mutex_);
        if (state_ != State::Armed || !matcher_(command)) {
            return false;
        }
        state_ = State::Holding;
        held_ = true;
        command_ = command;
        deadline_ = Clock::now() + holdLimit_;
    }
    changed_.notify_all();
    return true;
}

bool AnswerGate::holding(Clock::time_point now) const {
    const std::lock_guard lock(mutex_);
    return state_ == State::Holding && !released_ && now < deadline_;
}

AnswerGate::Clock::time_point AnswerGate::deadline() const {
    const std::lock_guard lock(mutex_);
    return deadline_;
}

void AnswerGate::finish() {
    {
        const std::lock_guard lock(mutex_);
        state_ = State::Spent;
    }
    changed_.notify_all();
}

}  // namespace phonesim
