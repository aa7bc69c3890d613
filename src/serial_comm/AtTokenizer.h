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

// Cuts phone text into values at separator characters, except inside strings and brackets.
// Among the quote characters, "(" opens and ")" closes a bracket; any other one (the double
// quote) starts and ends a string. Values keep their quote characters.
//
// - A string runs from its opening quote to a closing one. Phones send text between double
//   quotes without escaping anything, so a quote inside the string closes it only when what
//   follows (after any spaces) is the end of the input, a separator or a closing bracket: "a
//   "quoted" nick" and "Ann :)" stay one value each. Inside a string, brackets and separators are
//   ordinary characters.
// - Outside strings, brackets nest: ("ME","SM") and (1-250) are one value each. A ")" without
//   its "(" is an ordinary character.
// - A separator outside strings and brackets ends the value. A separator that starts a step is
//   a step of its own (a lone separator).
// An unterminated string or bracket makes the rest of the input one value.
class AtTokenizer {
public:
    AtTokenizer(std::string_view input, std::string_view separators, std::string_view quotes);

    // The next step; false at the end of the input.
    bool next(AtToken& token);

private:
    static constexpr std::uint8_t kSeparator = 1;
    static constexpr std::uint8_t kString = 2;
    static constexpr std::uint8_t kOpen = 4;
    static constexpr std::uint8_t kClose = 8;

    std::uint8_t classOf(std::size_t position) const {
        return classes_[static_cast<unsigned char>(input_[position])];
    }

    // Whether the quote at position ends the string it stands in (see above).
    bool closesString(std::size_t position) const;

    std::string_view input_;
    std::array<std::uint8_t, 256> classes_{};  // the flags above, for every byte
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
