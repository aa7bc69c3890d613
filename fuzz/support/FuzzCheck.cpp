#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz_support {

void fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "\n== fuzz check failed: %.*s\n", static_cast<int>(what.size()),
                 what.data());
    if (!detail.empty())
        std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
    std::fflush(stderr);
    std::abort();
}

std::string printable(std::string_view bytes, std::size_t limit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            out += static_cast<char>(byte);
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    if (bytes.size() > limit)
        out += "...";
    return out;
}

std::string printable(std::u16string_view text, std::size_t limit) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const char16_t unit = text[i];
        if (unit >= 0x20 && unit < 0x7F && unit != u'\\') {
            out += static_cast<char>(unit);
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(unit >> shift) & 0x0F];
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

}  // namespace fuzz_support
