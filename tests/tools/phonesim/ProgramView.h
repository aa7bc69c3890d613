#pragma once

#include <string>
#include <vector>

// How the program reads the phone's answers: the line cutting, the value tokenizer and the text
// decoding it applies. The simulator's tests check its answers through this view, so that an
// answer the program would misread fails here, not in an export.
namespace program_view {

// The non-empty lines of an answer (cut at CR and LF).
std::vector<std::string> lines(const std::string& answer);

// The lines whose prefix (the text before the first ':') is exactly `name`.
std::vector<std::string> linesOf(const std::string& answer, const std::string& name);

// The values of one "+NAME: ..." line: separators comma and space, the double quote and both
// parentheses toggle quoting, a separator directly after another one gives an empty value.
std::vector<std::string> values(const std::string& line);

// A text value: quoted, it is read with the charset's text decoder, bare with its hex decoder.
std::u16string decodeText(const std::string& value, const std::u16string& charset);

// A value that is always plain ASCII (numbers, birthdays), quoted or not.
std::u16string decodePlain(const std::string& value);

// Value 2 of an extended line: in UCS2 a quoted value is plain ASCII and a bare one hex;
// otherwise as decodeText.
std::u16string decodeExtendedNumber(const std::string& value, const std::u16string& charset);

}  // namespace program_view
