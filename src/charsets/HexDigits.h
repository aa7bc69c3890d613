#pragma once

#include <cstdint>
#include <string>

namespace hex_digits {

inline constexpr std::uint8_t kNotADigit = 0xFF;

// The value of one hexadecimal digit, or kNotADigit (0xFF) for any other byte. Callers OR the 0xFF
// in, sign-extended to the width of the unit they build, so a bad digit turns its own nibble and
// every more significant nibble of that unit to F; nothing is reported.
inline std::uint8_t valueOf(char digit) {
    if (digit >= '0' && digit <= '9')
        return static_cast<std::uint8_t>(digit - '0');
    if (digit >= 'a' && digit <= 'f')
        return static_cast<std::uint8_t>(digit - 'a' + 10);
    if (digit >= 'A' && digit <= 'F')
        return static_cast<std::uint8_t>(digit - 'A' + 10);
    return kNotADigit;
}

enum class Case { Lower, Upper };

// Appends the count lowest hexadecimal digits of value, most significant first.
inline void append(std::string& out, std::uint32_t value, int count, Case letters = Case::Lower) {
    const char* digits = letters == Case::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
        out.push_back(digits[(value >> shift) & 0xF]);
}

}  // namespace hex_digits
