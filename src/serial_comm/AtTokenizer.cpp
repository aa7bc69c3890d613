#include "serial_comm/AtTokenizer.h"

#include "serial_comm/AtProtocol.h"

namespace serial_comm {

AtTokenizer::AtTokenizer(std::string_view input, std::string_view separators,
                         std::string_view quotes)
    : input_(input) {
    for (const char c : separators)
        classes_[static_cast<unsigned char>(c)] |= kSeparator;
    for (const char c : quotes)
        classes_[static_cast<unsigned char>(c)] |= kQuote;
}

bool AtTokenizer::next(AtToken& token) {
    if (position_ >= input_.size())
        return false;
    const std::size_t start = position_;
    bool insideQuotes = false;
    while (position_ < input_.size()) {
        const std::uint8_t kind = classes_[static_cast<unsigned char>(input_[position_])];
        if ((kind & kQuote) != 0)
            insideQuotes = !insideQuotes;
        if (!insideQuotes && (kind & kSeparator) != 0) {
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
