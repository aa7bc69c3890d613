#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What a fuzz target does when an input breaks one of its expectations: it prints what broke and
// aborts, which the fuzzer records as a crash together with the input that caused it.
namespace fuzz_support {

[[noreturn]] void fail(std::string_view what, std::string_view detail = {});

inline void check(bool holds, std::string_view what) {
    if (!holds)
        fail(what);
}

// check() with a detail that is worked out only when the check fails.
#define FUZZ_CHECK(holds, what, detail)             \
    do {                                            \
        if (!(holds))                               \
            ::fuzz_support::fail((what), (detail)); \
    } while (false)

// Printable text of any bytes, for the messages: other bytes as \xHH, cut after limit bytes.
std::string printable(std::string_view bytes, std::size_t limit = 400);
std::string printable(std::u16string_view text, std::size_t limit = 400);

}  // namespace fuzz_support
