#include "serial_comm/AtValues.h"

#include "charsets/IMbsToUcsConvertImpl.h"
#include "serial_comm/AtTokenizer.h"

namespace serial_comm {

namespace {

// The inside of value when it is non-empty, starts with open and ends with close. A single
// character that is both counts as enclosed, with nothing inside.
std::string stripEnclosing(std::string_view value, char open, char close) {
    if (value.empty() || value.front() != open || value.back() != close)
        return std::string(value);
    if (value.size() == 1)
        return {};
    return std::string(value.substr(1, value.size() - 2));
}

}  // namespace

std::string quote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

std::string unquote(std::string_view value) {
    return stripEnclosing(value, '"', '"');
}

std::string stripParentheses(std::string_view value) {
    return stripEnclosing(value, '(', ')');
}

std::string stripAngleBrackets(std::string_view value) {
    return stripEnclosing(value, '<', '>');
}

std::vector<std::string> splitList(std::string_view value) {
    std::vector<std::string> items;
    for (const std::string_view item : splitValues(value, ",", "\""))
        items.emplace_back(item);
    return items;
}

std::u16string decodeText(std::string_view value, const IMbsToUcsConvertImpl& textDecoder,
                          const IMbsToUcsConvertImpl& hexDecoder) {
    if (!value.empty() && value.front() == '"')
        return textDecoder.convert(unquote(value));
    return hexDecoder.convert(std::string(value));
}

}  // namespace serial_comm
