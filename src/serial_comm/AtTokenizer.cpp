#include "serial_comm/AtTokenizer.h"

#include "serial_comm/AtProtocol.h"

namespace serial_comm {

AtTokenizer::AtTokenizer(std::string_view input, std::string_view separators,
                         std::string_view quotes)
    : input_(input), separators_(separators), quotes_(quotes) {}

bool AtTokenizer::next(AtToken& token) {
    if (position_ >= input_.size())
        return false;
    const std::size_t start = position_;
    bool insideQuotes = false;
    while (position_ < input_.size()) {
        const char c = input_[position_];
        if (quotes_.find(c) != std::string_view::npos)
            insideQuotes = !insideQuotes;
        if (!insideQuotes && separators_.find(c) != std::string_view::npos) {
            if (position_ == start) {
                ++position_;
                token = {AtToken::Kind::Separator, input_.substr(start, 1)};
                return true;
            }
            break;
        }
        ++position_;
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
