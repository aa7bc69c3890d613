#pragma once

#include <string>
#include <string_view>
#include <vector>

class IMbsToUcsConvertImpl;

// Small helpers for the values of AT answers and command arguments. Each returns a new string,
// accepts any bytes and never throws (beyond allocation failure).
namespace serial_comm {

// The text between two double quotes; nothing inside is escaped.
std::string quote(std::string_view text);

// The text between a leading and a trailing double quote (empty for a lone double quote);
// any other value unchanged.
std::string unquote(std::string_view value);

// The text between a leading "(" and a trailing ")"; any other value unchanged.
std::string stripParentheses(std::string_view value);

// The text between a leading "<" and a trailing ">"; any other value unchanged.
std::string stripAngleBrackets(std::string_view value);

// The items of a comma-separated list of quoted names, quotes kept (callers unquote them).
std::vector<std::string> splitList(std::string_view value);

// Phone text: a value in double quotes is unquoted and read with textDecoder; any other value
// is hexadecimal and read whole with hexDecoder.
std::u16string decodeText(std::string_view value, const IMbsToUcsConvertImpl& textDecoder,
                          const IMbsToUcsConvertImpl& hexDecoder);

}  // namespace serial_comm
