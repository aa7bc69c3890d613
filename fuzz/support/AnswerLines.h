#pragma once

#include <string_view>
#include <vector>

namespace fuzz_support {

// The non-empty lines of an answer, cut at CR and LF (without the program's tokenizer).
std::vector<std::string_view> answerLines(std::string_view answer);

// The text after the ':' of a line whose text before its first ':' is exactly name; false for
// any other line.
bool lineNamed(std::string_view line, std::string_view name, std::string_view& rest);

// The parts of an input separated by NUL bytes (answers never hold one).
std::vector<std::string_view> nulSeparated(std::string_view input);

}  // namespace fuzz_support
