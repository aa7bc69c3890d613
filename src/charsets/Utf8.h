#pragma once

#include <cstddef>
#include <string_view>

namespace utf8 {

// The first character of UTF-8 bytes (not empty): its code point and the bytes it takes. An
// ill-formed sequence is not valid, and its length is that of its maximal ill-formed subpart
// (at least one byte), so that a decoder replaces it by one U+FFFD and goes on after it.
// Overlong forms, surrogates and code points above U+10FFFF are ill-formed.
struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 1;
    bool valid = false;
};

Decoded decodeFirst(std::string_view bytes);

}  // namespace utf8
