// Phone text through the tokenizer and the value helpers, with the separator and quote sets the
// program uses and with a set the input chooses. For any bytes: the steps cover the input
// exactly, in order and without gaps; each step ends at a separator; lines never hold a
// line end and lose nothing else; the value helpers undo what quote() does; atoi32 reads what
// the C library's strtoll reads, clamped to 32 bits.
//
// Input: byte 0 chooses how many of the following bytes are extra separators (bits 0-1) and
// extra quote characters (bits 2-3); the rest is the text.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/IndexRange.h"

namespace {

using fuzz_support::printable;
using serial_comm::AtToken;

bool holds(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}

// Every step of the tokenizer over text, checked against what holds whichever way quotes pair up:
// the steps are the text, in order and without gaps; a lone separator is one separator byte; a
// value starts with a byte that is not a separator (unless it is a quote character too) and ends
// at the end of the text or before a separator; a value without quote characters holds no
// separator.
std::vector<AtToken> checkedTokens(std::string_view text, std::string_view separators,
                                   std::string_view quotes) {
    std::vector<AtToken> tokens;
    serial_comm::AtTokenizer tokenizer(text, separators, quotes);
    AtToken token;
    std::size_t position = 0;
    while (tokenizer.next(token)) {
        const auto detail = [&] {
            return "text \"" + printable(text) + "\" at " + std::to_string(position) + ", step \"" +
                   printable(token.text) + "\"";
        };
        FUZZ_CHECK(!token.text.empty(), "a step is empty", detail());
        FUZZ_CHECK(token.text.data() == text.data() + position, "a step does not follow the last",
                   detail());
        FUZZ_CHECK(tokens.size() < text.size(), "more steps than bytes", detail());
        position += token.text.size();
        if (token.kind == AtToken::Kind::Separator) {
            FUZZ_CHECK(token.text.size() == 1 && holds(separators, token.text[0]),
                       "a lone separator is not one separator byte", detail());
            FUZZ_CHECK(!holds(quotes, token.text[0]),
                       "a quote character stood alone as a separator", detail());
        } else {
            const char first = token.text.front();
            FUZZ_CHECK(!holds(separators, first) || holds(quotes, first),
                       "a value starts with a separator", detail());
            FUZZ_CHECK(position == text.size() || holds(separators, text[position]),
                       "a value ended before a byte that is no separator", detail());
            const bool quoted = token.text.find_first_of(quotes) != std::string_view::npos;
            FUZZ_CHECK(quoted || token.text.find_first_of(separators) == std::string_view::npos,
                       "a value without quotes holds a separator", detail());
        }
        tokens.push_back(token);
    }
    FUZZ_CHECK(position == text.size(), "the steps do not cover the text", printable(text));
    return tokens;
}

// splitValues: the values are the value steps, with one empty value for every lone separator
// that follows another lone separator.
void checkValues(std::string_view text, std::string_view separators, std::string_view quotes) {
    const std::vector<AtToken> tokens = checkedTokens(text, separators, quotes);
    std::vector<std::string_view> expected;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == AtToken::Kind::Value)
            expected.push_back(tokens[i].text);
        else if (i > 0 && tokens[i - 1].kind == AtToken::Kind::Separator)
            expected.emplace_back();
    }
    const std::vector<std::string_view> values = serial_comm::splitValues(text, separators, quotes);
    FUZZ_CHECK(values == expected, "splitValues does not give the values of the steps",
               printable(text));
}

// splitLines: non-empty lines without CR or LF which, put together, are the answer without its
// CR and LF bytes.
void checkLines(std::string_view answer) {
    std::string joined;
    for (const std::string_view line : serial_comm::splitLines(answer)) {
        FUZZ_CHECK(!line.empty(), "an empty line", printable(answer));
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos, "a line holds a line end",
                   printable(line));
        joined.append(line);
    }
    std::string expected;
    for (const char c : answer) {
        if (c != '\r' && c != '\n')
            expected += c;
    }
    FUZZ_CHECK(joined == expected, "the lines lost or added bytes", printable(answer));
}

void checkEnclosing(std::string_view text) {
    FUZZ_CHECK(serial_comm::unquote(serial_comm::quote(text)) == text, "unquote(quote(x)) is not x",
               printable(text));
    FUZZ_CHECK(serial_comm::stripParentheses("(" + std::string(text) + ")") == text,
               "parentheses are not stripped", printable(text));
    FUZZ_CHECK(serial_comm::stripAngleBrackets("<" + std::string(text) + ">") == text,
               "angle brackets are not stripped", printable(text));
    // A value that is not enclosed stays as it is.
    if (text.empty() || text.front() != '"' || text.back() != '"')
        FUZZ_CHECK(serial_comm::unquote(text) == text, "unquote changed a value without quotes",
                   printable(text));
}

// atoi32 against the C library: strtoll stops at the first byte that is not part of the number
// (a NUL too) and saturates; the 32-bit result is that, clamped.
void checkNumber(std::string_view text) {
    const std::string terminated(text);
    errno = 0;
    const long long wide = std::strtoll(terminated.c_str(), nullptr, 10);
    const long long clamped =
        std::max<long long>(std::numeric_limits<std::int32_t>::min(),
                            std::min<long long>(wide, std::numeric_limits<std::int32_t>::max()));
    FUZZ_CHECK(serial_comm::atoi32(text) == clamped, "atoi32 differs from strtoll",
               printable(text) + " gives " + std::to_string(serial_comm::atoi32(text)) +
                   ", strtoll " + std::to_string(wide));
}

void checkRange(std::string_view text) {
    const serial_comm::IndexRange range = serial_comm::splitIndexRange(text);
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos || dash == 0) {
        FUZZ_CHECK(range.first == 0 && range.last == serial_comm::atoi32(text),
                   "a range without a dash is not 0 to the number", printable(text));
    } else {
        FUZZ_CHECK(range.first == serial_comm::atoi32(text.substr(0, dash)) &&
                       range.last == serial_comm::atoi32(text.substr(dash + 1)),
                   "a range is not the numbers around its first dash", printable(text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const auto choice = static_cast<unsigned char>(input[0]);
    std::string_view rest = input.substr(1);
    const std::size_t separatorCount = std::min<std::size_t>(choice & 0x03, rest.size());
    const std::string_view separators = rest.substr(0, separatorCount);
    rest.remove_prefix(separatorCount);
    const std::size_t quoteCount = std::min<std::size_t>((choice >> 2) & 0x03, rest.size());
    const std::string_view quotes = rest.substr(0, quoteCount);
    const std::string_view text = rest.substr(quoteCount);

    checkValues(text, separators, quotes);
    checkValues(text, serial_comm::at::kValueSeparators, serial_comm::at::kValueQuotes);
    checkValues(text, ",", "\"");
    checkLines(text);
    checkEnclosing(text);
    checkNumber(text);
    checkRange(text);
    return 0;
}
