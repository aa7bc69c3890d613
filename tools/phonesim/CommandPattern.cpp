#include "phonesim/CommandPattern.h"

namespace phonesim {

CommandPattern::CommandPattern(std::string_view pattern) : text_(pattern), stem_(pattern) {
    if (!stem_.empty() && stem_.back() == '*') {
        stem_.pop_back();
        prefix_ = true;
    }
}

bool CommandPattern::matches(std::string_view line) const {
    if (prefix_) {
        return line.substr(0, stem_.size()) == stem_;
    }
    return line == stem_;
}

}  // namespace phonesim
