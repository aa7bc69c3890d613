#include "phonesim/PhoneCharset.h"

#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"

namespace phonesim {
namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<char>(y - 'a' + 'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string latin1(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x100) {
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

}  // namespace

PhoneCharset PhoneCharset::named(std::string_view name) {
    if (sameLetters(name, "UCS2")) {
        return PhoneCharset(Kind::Ucs2);
    }
    if (sameLetters(name, "UTF8") || sameLetters(name, "UTF-8")) {
        return PhoneCharset(Kind::Utf8);
    }
    if (sameLetters(name, "8859-1")) {
        return PhoneCharset(Kind::Latin1);
    }
    return PhoneCharset(Kind::Ascii);
}

std::string PhoneCharset::render(std::u16string_view text) const {
    switch (kind_) {
        case Kind::Ucs2: {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            std::string out;
            out.reserve(text.size() * 4);
            for (const char16_t unit : text) {
                for (int shift = 12; shift >= 0; shift -= 4) {
                    out.push_back(kDigits[(unit >> shift) & 0xF]);
                }
            }
            return out;
        }
        case Kind::Utf8:
            return text_codec::toUtf8(text);
        case Kind::Latin1:
            return latin1(text);
        case Kind::Ascii:
            break;
    }
    return text_codec::encode(code_page::Ascii, text);
}

std::size_t PhoneCharset::decodedLength(std::u16string_view text) const {
    switch (kind_) {
        case Kind::Ucs2:
        case Kind::Utf8:
            return text.size();
        case Kind::Latin1:
        case Kind::Ascii:
            break;
    }
    // One byte per character, and each byte decodes to one unit.
    return render(text).size();
}

}  // namespace phonesim
