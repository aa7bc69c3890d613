#include "charsets/MbsHexToUcsConverter.h"

#include "charsets/HexDigits.h"

MbsHexToUcsConverter::MbsHexToUcsConverter(std::uint32_t codePage) : bytes_(codePage) {}

std::u16string MbsHexToUcsConverter::convert(const std::string& text) const {
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t pair = 0; pair + 2 <= text.size(); pair += 2) {
        const std::uint8_t high = hex_digits::valueOf(text[pair]);
        const std::uint8_t low = hex_digits::valueOf(text[pair + 1]);
        const auto value = static_cast<std::uint8_t>((high << 4) | low);
        bytes.push_back(static_cast<char>(value));
    }
    return bytes_.convert(bytes);
}
