#include "charsets/TextCodec.h"

#include "charsets/CodePages.h"
#include "charsets/GsmAlphabet.h"
#include "charsets/LocaleCharset.h"
#include "charsets/Utf16.h"
#include "charsets/Utf8.h"

namespace text_codec {
namespace {

constexpr char16_t kReplacement = utf16::kReplacement;

// Decodes UTF-8; each maximal ill-formed subsequence becomes one U+FFFD.
std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const utf8::Decoded decoded = utf8::decodeFirst(bytes);
        if (decoded.valid) {
            utf16::appendCodePoint(out, decoded.codePoint);
        } else {
            out.push_back(kReplacement);
        }
        bytes.remove_prefix(decoded.length);
    }
    return out;
}

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string encodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i += utf16::unitsAt(text, i)) {
        char32_t codePoint = utf16::codePointAt(text, i);
        if (utf16::isSurrogate(codePoint))
            codePoint = kReplacement;
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return out;
}

// A charset of one byte per character whose bytes below end are the code points of the same
// value: ASCII (end 0x80) and ISO 8859-1 (end 0x100). A byte from end up decodes to U+FFFD; a
// character from end up encodes as one '?' (a surrogate pair is one character).
std::u16string decodeSingleBytes(std::string_view bytes, unsigned end) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        out.push_back(value < end ? static_cast<char16_t>(value) : kReplacement);
    }
    return out;
}

std::string encodeSingleBytes(std::u16string_view text, unsigned end) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i += utf16::unitsAt(text, i))
        out.push_back(text[i] < end ? static_cast<char>(text[i]) : '?');
    return out;
}

constexpr unsigned kAsciiEnd = 0x80;
constexpr unsigned kLatin1End = 0x100;

std::u16string decodeUtf16Le(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return out;
}

std::string encodeUtf16Le(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

}  // namespace

std::u16string decode(std::uint32_t codePage, std::string_view bytes) {
    switch (codePage) {
        case code_page::Utf8:
            return decodeUtf8(bytes);
        case code_page::Ascii:
            return decodeSingleBytes(bytes, kAsciiEnd);
        case code_page::Utf16:
            return decodeUtf16Le(bytes);
        case code_page::Latin1:
            return decodeSingleBytes(bytes, kLatin1End);
        case code_page::Gsm:
            return gsm_alphabet::decode(bytes);
        case code_page::SystemDefault:
            return LocaleCharset().decode(bytes);
        default:
            return {};
    }
}

std::string encode(std::uint32_t codePage, std::u16string_view text) {
    switch (codePage) {
        case code_page::Utf8:
            return encodeUtf8(text);
        case code_page::Ascii:
            return encodeSingleBytes(text, kAsciiEnd);
        case code_page::Utf16:
            return encodeUtf16Le(text);
        case code_page::Latin1:
            return encodeSingleBytes(text, kLatin1End);
        case code_page::Gsm:
            return gsm_alphabet::encode(text);
        case code_page::SystemDefault:
            return LocaleCharset().encode(text);
        default:
            return {};
    }
}

std::u16string fromUtf8(std::string_view bytes) {
    return decodeUtf8(bytes);
}

std::string toUtf8(std::u16string_view text) {
    return encodeUtf8(text);
}

}  // namespace text_codec
