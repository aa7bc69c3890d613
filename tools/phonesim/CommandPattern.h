#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace phonesim {

// Decides whether a command line (as the phone received it, without its CR) is of interest.
using CommandMatcher = std::function<bool(const std::string&)>;

// A command line written the way scenario files write it: the exact line, or a prefix followed
// by '*' ("AT+CPBR=*" matches every read of the standard phonebook). Matching is exact and
// case-sensitive, because the program's command lines are fixed texts.
class CommandPattern {
public:
    CommandPattern() = default;
    explicit CommandPattern(std::string_view pattern);

    bool matches(std::string_view line) const;
    bool operator()(const std::string& line) const { return matches(line); }

    // The pattern as written, '*' included.
    const std::string& text() const { return text_; }

    bool operator==(const CommandPattern& other) const { return text_ == other.text_; }

private:
    std::string text_;
    std::string stem_;
    bool prefix_ = false;
};

}  // namespace phonesim
