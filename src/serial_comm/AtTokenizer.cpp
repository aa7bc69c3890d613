#include "serial_comm/AtTokenizer.h"

#include "serial_comm/AtProtocol.h"

namespace serial_comm {

AtTokenizer::AtTokenizer(std::string_view input, std::string_view separators,
                         std::string_view quotes)
    : input_(input) {
    for (const char c : separators)
        classes_[static_cast<unsigned char>(c)] |= kSeparator;
    for (const char c : quotes) {
        const std::uint8_t kind = c == '(' ? kOpen : c == ')' ? kClose : kString;
        classes_[static_cast<unsigned char>(c)] |= kind;
    }
}

bool AtTokenizer::closesString(std::size_t position) const {
    std::size_t next = position + 1;
    while (next < input_.size() && (input_[next] == ' ' || input_[next] == '\t'))
        ++next;
    if (next == input_.size())
        return true;
    return (classOf(next) & (kClose | kSeparator)) != 0;
}

bool AtTokenizer::next(AtToken& token) {
    if (position_ >= input_.size())
        return false;
    const std::size_t start = position_;
    bool inString = false;
    std::size_t depth = 0;
    for (; position_ < input_.size(); ++position_) {
        const std::uint8_t kind = classOf(position_);
        if (inString) {
            if ((kind & kString) != 0 && closesString(position_))
                inString = false;
            continue;
        }
        if ((kind & kString) != 0) {
            inString = true;
        } else if ((kind & kOpen) != 0) {
            ++depth;
        } else if ((kind & kClose) != 0) {
            if (depth > 0)
                --depth;
        } else if ((kind & kSeparator) != 0 && depth == 0) {
            if (position_ == start) {
                ++position_;
                token = {AtToken::Kind::Separator, input_.substr(start, 1)};
                return true;
            }
            break;
        }
    }
    token = {AtToken::Kind::Value, input_.substr(start, position_ - start)};
    return true;
}

std::vector<std::string_view> splitValues(std::string_view text, std::string_view separators,
                                          std::string_view quotes) {
    std::vector<std::string_view> values;
    AtTokenizer tokenizer(text, separators, quotes);
    AtToken token;
    bool afterSeparator = false;
    while (tokenizer.next(token)) {
        if (token.kind == AtToken::Kind::Value) {
            values.push_back(token.text);
            afterSeparator = false;
        } else {
            if (afterSeparator)
                values.emplace_back();
            afterSeparator = true;
        }
    }
    return values;
}

std::vector<std::string_view> splitLines(std::string_view answer) {
    std::vector<std::string_view> lines;
    AtTokenizer tokenizer(answer, at::kLineSeparators, {});
    AtToken token;
    while (tokenizer.next(token)) {
        if (token.kind == AtToken::Kind::Value)
            lines.push_back(token.text);
    }
    return lines;
}

}  // namespace serial_comm
