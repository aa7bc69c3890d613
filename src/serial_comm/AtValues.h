#pragma once

#include <cstdint>
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

// The number at the start of a value, as C's atoi reads it: leading white space, an optional
// sign, then decimal digits up to the first other byte. A value without digits gives 0; a number
// beyond the 32-bit range gives the nearest end of the range.
std::int32_t atoi32(std::string_view value);

// The text without the blanks and tabs at its start and end (a view into text).
std::string_view trimBlanks(std::string_view text);

// True when an answer holds the two bytes "OK" anywhere (a plain substring search, which is how
// callers that ignore an answer's lines tell a command that worked).
bool holdsOk(std::string_view answer);

// Phone text: a value in double quotes is unquoted and read with textDecoder; any other value
// is hexadecimal and read whole with hexDecoder.
std::u16string decodeText(std::string_view value, const IMbsToUcsConvertImpl& textDecoder,
                          const IMbsToUcsConvertImpl& hexDecoder);

}  // namespace serial_comm
