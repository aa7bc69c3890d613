#include "phonesim/Transcript.h"

#include <algorithm>

namespace phonesim {

void Transcript::add(const std::string& command) {
    {
        const std::lock_guard lock(mutex_);
        commands_.push_back(command);
    }
    changed_.notify_all();
}

void Transcript::close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::vector<std::string> Transcript::commands() const {
    const std::lock_guard lock(mutex_);
    return commands_;
}

std::vector<std::string> Transcript::since(std::size_t first) const {
    const std::lock_guard lock(mutex_);
    if (first >= commands_.size()) {
        return {};
    }
    return std::vector<std::string>(commands_.begin() + static_cast<std::ptrdiff_t>(first),
                                    commands_.end());
}

std::size_t Transcript::size() const {
    const std::lock_guard lock(mutex_);
    return commands_.size();
}

bool Transcript::waitFor(const CommandMatcher& matcher, std::size_t count,
                         std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    std::size_t checked = 0;
    std::size_t matched = 0;
    const auto enough = [&] {
        for (; checked < commands_.size(); ++checked) {
            matched += matcher(commands_[checked]) ? 1u : 0u;
        }
        return matched >= count || closed_;
    };
    changed_.wait_for(lock, timeout, enough);
    return matched >= count;
}

}  // namespace phonesim
