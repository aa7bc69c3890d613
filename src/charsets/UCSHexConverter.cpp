#include "charsets/UCSHexConverter.h"

#include <cstdint>

#include "charsets/HexDigits.h"

std::u16string UCSHexConverter::convert(const std::string& text) const {
    std::u16string out;
    out.reserve(text.size() / 4);
    for (std::size_t group = 0; group + 4 <= text.size(); group += 4) {
        std::uint16_t unit = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::uint8_t digit = hex_digits::valueOf(text[group + k]);
            const std::uint16_t bits = digit == 0xFF ? 0xFFFF : digit;
            unit = static_cast<std::uint16_t>((unit << 4) | bits);
        }
        out.push_back(static_cast<char16_t>(unit));
    }
    return out;
}
