#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-16 code units and the code points they stand for.
namespace utf16 {

inline constexpr char32_t kReplacement = 0xFFFD;

inline bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

inline bool isSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// Whether text holds a surrogate pair starting at position.
inline bool isPairAt(std::u16string_view text, std::size_t position) {
    return position + 1 < text.size() && isHighSurrogate(text[position]) &&
           isLowSurrogate(text[position + 1]);
}

// The units of the character starting at position: 2 for a surrogate pair, else 1.
inline std::size_t unitsAt(std::u16string_view text, std::size_t position) {
    return isPairAt(text, position) ? 2 : 1;
}

// The code point of the character starting at position (a lone surrogate stands for itself).
inline char32_t codePointAt(std::u16string_view text, std::size_t position) {
    if (!isPairAt(text, position))
        return text[position];
    return 0x10000 + ((char32_t{text[position]} - 0xD800) << 10) +
           (char32_t{text[position + 1]} - 0xDC00);
}

// Appends a code point of at most U+10FFFF: one unit, or a surrogate pair above U+FFFF.
inline void appendCodePoint(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

}  // namespace utf16
