#include "charsets/ShownText.h"

#include <cstdint>

#include "charsets/HexDigits.h"
#include "charsets/Utf8.h"

namespace {

void appendByte(std::string& out, unsigned char byte) {
    out += "\\x";
    hex_digits::append(out, byte, 2);
}

// Characters that move or reorder text without being seen.
bool invisibleControl(std::uint32_t codePoint) {
    return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029 ||
           codePoint == 0x200E || codePoint == 0x200F ||
           (codePoint >= 0x202A && codePoint <= 0x202E) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

}  // namespace

std::string shownText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        if (byte < 0x80) {
            switch (byte) {
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                default:
                    if (byte < 0x20 || byte == 0x7F)
                        appendByte(out, byte);
                    else
                        out += static_cast<char>(byte);
            }
            text.remove_prefix(1);
            continue;
        }
        const utf8::Decoded decoded = utf8::decodeFirst(text);
        if (!decoded.valid) {
            // Each byte of an ill-formed sequence is shown as it is.
            for (std::size_t i = 0; i < decoded.length; ++i)
                appendByte(out, static_cast<unsigned char>(text[i]));
        } else if (invisibleControl(decoded.codePoint)) {
            out += "\\u";
            hex_digits::append(out, decoded.codePoint, 4);
        } else {
            out.append(text.substr(0, decoded.length));
        }
        text.remove_prefix(decoded.length);
    }
    return out;
}
