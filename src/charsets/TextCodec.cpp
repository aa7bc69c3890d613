#include "charsets/TextCodec.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "charsets/CodePages.h"

namespace text_codec {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendCodePoint(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
    } else {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    }
}

// Decodes UTF-8; each maximal ill-formed subsequence becomes one U+FFFD.
std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int length = 0;
        char32_t codePoint = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t consumed = 1;
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            if (i + consumed >= size) {
                valid = false;
                break;
            }
            const auto next = static_cast<unsigned char>(bytes[i + consumed]);
            const unsigned char min = (k == 1) ? low : 0x80;
            const unsigned char max = (k == 1) ? high : 0xBF;
            if (next < min || next > max) {
                valid = false;
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
            ++consumed;
        }
        if (valid) {
            appendCodePoint(out, codePoint);
        } else {
            out.push_back(kReplacement);
        }
        i += consumed;
    }
    return out;
}

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string encodeUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
            codePoint = kReplacement;
        }
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

std::u16string decodeAscii(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        out.push_back(value < 0x80 ? static_cast<char16_t>(value) : kReplacement);
    }
    return out;
}

// One '?' per character that ASCII cannot hold; a surrogate pair is one character.
std::string encodeAscii(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x80) {
            out.push_back(static_cast<char>(text[i]));
            continue;
        }
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i;
        }
        out.push_back('?');
    }
    return out;
}

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

// The charset of the user's locale (LC_CTYPE from the environment), or "UTF-8" when the
// environment names no usable locale.
std::string localeCodeset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return "UTF-8";
    }
    const char* codeset = nl_langinfo_l(CODESET, locale);
    std::string result = (codeset != nullptr && *codeset != '\0') ? codeset : "UTF-8";
    freelocale(locale);
    return result;
}

enum class LocaleKind { Utf8, Ascii, Other };

LocaleKind classify(const std::string& codeset) {
    if (strcasecmp(codeset.c_str(), "UTF-8") == 0 || strcasecmp(codeset.c_str(), "UTF8") == 0) {
        return LocaleKind::Utf8;
    }
    if (codeset == "ANSI_X3.4-1968" || strcasecmp(codeset.c_str(), "ASCII") == 0 ||
        strcasecmp(codeset.c_str(), "US-ASCII") == 0) {
        return LocaleKind::Ascii;
    }
    return LocaleKind::Other;
}

// Runs iconv over the whole input. On a byte sequence the converter rejects, onInvalid() is
// appended to the output and skip bytes of input are passed over. Returns false when iconv
// cannot convert between the two charsets at all.
template <typename OnInvalid>
bool runIconv(const char* to, const char* from, std::string_view input, std::size_t skip,
              OnInvalid onInvalid, std::string& output) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::vector<char> buffer(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (incomplete sequence at the end): substitute and move on.
        onInvalid(output);
        const std::size_t step = std::min(skip, inLeft);
        in += step;
        inLeft -= step;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return true;
}

std::u16string decodeLocale(std::string_view bytes) {
    const std::string codeset = localeCodeset();
    switch (classify(codeset)) {
        case LocaleKind::Utf8:
            return decodeUtf8(bytes);
        case LocaleKind::Ascii:
            return decodeAscii(bytes);
        case LocaleKind::Other:
            break;
    }
    std::string utf16;
    const bool converted = runIconv(
        "UTF-16LE", codeset.c_str(), bytes, 1, [](std::string& out) { out.append("\xFD\xFF"); },
        utf16);
    return converted ? decodeUtf16Le(utf16) : decodeUtf8(bytes);
}

std::string encodeLocale(std::u16string_view text) {
    const std::string codeset = localeCodeset();
    switch (classify(codeset)) {
        case LocaleKind::Utf8:
            return encodeUtf8(text);
        case LocaleKind::Ascii:
            return encodeAscii(text);
        case LocaleKind::Other:
            break;
    }
    iconv_t cd = iconv_open(codeset.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return encodeUtf8(text);
    }
    // One character at a time, so that a character the charset cannot hold (a surrogate pair
    // included) becomes exactly one '?'.
    std::string out;
    char buffer[16];
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t units = 1;
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            units = 2;
        }
        std::string utf16 = encodeUtf16Le(text.substr(i, units));
        i += units - 1;
        char* in = utf16.data();
        std::size_t inLeft = utf16.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
            out.push_back('?');
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            out.append(buffer, sizeof buffer - outLeft);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::u16string decode(std::uint32_t codePage, std::string_view bytes) {
    switch (codePage) {
        case code_page::Utf8:
            return decodeUtf8(bytes);
        case code_page::Ascii:
            return decodeAscii(bytes);
        case code_page::Utf16:
            return decodeUtf16Le(bytes);
        case code_page::SystemDefault:
            return decodeLocale(bytes);
        default:
            return {};
    }
}

std::string encode(std::uint32_t codePage, std::u16string_view text) {
    switch (codePage) {
        case code_page::Utf8:
            return encodeUtf8(text);
        case code_page::Ascii:
            return encodeAscii(text);
        case code_page::Utf16:
            return encodeUtf16Le(text);
        case code_page::SystemDefault:
            return encodeLocale(text);
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
