#include "charsets/UCSHexEncoder.h"

std::string UCSHexEncoder::convert(const std::u16string& text) const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 4);
    for (const char16_t unit : text) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out.push_back(kDigits[(unit >> shift) & 0xF]);
    }
    return out;
}
