#include "serial_comm/AtValues.h"

#include <algorithm>
#include <limits>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "serial_comm/AtProtocol.h"
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

std::int32_t atoi32(std::string_view value) {
    std::size_t position = 0;
    // White space as the C locale knows it: space, \t, \n, \v, \f and \r.
    while (position < value.size() &&
           (value[position] == ' ' || (value[position] >= '\t' && value[position] <= '\r')))
        ++position;
    bool negative = false;
    if (position < value.size() && (value[position] == '+' || value[position] == '-')) {
        negative = value[position] == '-';
        ++position;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past the 32-bit range.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; position < value.size() && value[position] >= '0' && value[position] <= '9';
         ++position) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (value[position] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(std::max(-magnitude, -kLimit));
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool holdsOk(std::string_view answer) {
    return answer.find(at::kResultOk) != std::string_view::npos;
}

std::u16string decodeText(std::string_view value, const IMbsToUcsConvertImpl& textDecoder,
                          const IMbsToUcsConvertImpl& hexDecoder) {
    if (!value.empty() && value.front() == '"')
        return textDecoder.convert(unquote(value));
    return hexDecoder.convert(std::string(value));
}

}  // namespace serial_comm
