#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace serial_comm {

// One step of the tokenizer: a value, or a separator that stood alone.
struct AtToken {
    enum class Kind { Value, Separator };
    Kind kind = Kind::Value;
    std::string_view text;  // points into the tokenizer's input
};

// Cuts phone text into values at separator characters, except where they stand between quote
// characters. Every quote character toggles the same flag, so parentheses act like the double
// quote, and values keep their quote characters. A separator that starts a step is a step of
// its own (a lone separator); otherwise a step ends before the separator and yields the value
// scanned so far. An unbalanced quote makes the rest of the input one value.
class AtTokenizer {
public:
    AtTokenizer(std::string_view input, std::string_view separators, std::string_view quotes);

    // The next step; false at the end of the input.
    bool next(AtToken& token);

private:
    static constexpr std::uint8_t kSeparator = 1;
    static constexpr std::uint8_t kQuote = 2;

    std::string_view input_;
    std::array<std::uint8_t, 256> classes_{};  // kSeparator and kQuote flags of every byte
    std::size_t position_ = 0;
};

// The values of a text. Each value is passed on; a lone separator right after a value is
// dropped, and each further lone separator in a row gives an empty value. So "1,,3" gives 1,
// empty, 3; "1, 2" gives 1, empty, 2; a separator at the very start or end gives nothing.
// The views point into text.
std::vector<std::string_view> splitValues(std::string_view text, std::string_view separators,
                                          std::string_view quotes);

// The non-empty lines of an answer, cut at CR and LF. The views point into answer.
std::vector<std::string_view> splitLines(std::string_view answer);

}  // namespace serial_comm
