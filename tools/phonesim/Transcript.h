#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "phonesim/CommandPattern.h"

namespace phonesim {

// Every command line the phone received, in order, shared between the phone's thread (which
// adds) and the tests (which copy and wait).
class Transcript {
public:
    void add(const std::string& command);

    // No command will come any more: waits end at once.
    void close();

    std::vector<std::string> commands() const;
    std::vector<std::string> since(std::size_t first) const;
    std::size_t size() const;

    // Waits until `count` commands that match have been received; false on time-out, or when
    // the phone went away before they came.
    bool waitFor(const CommandMatcher& matcher, std::size_t count,
                 std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> commands_;
    bool closed_ = false;
};

}  // namespace phonesim
