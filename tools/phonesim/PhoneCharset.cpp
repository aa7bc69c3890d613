#include "phonesim/PhoneCharset.h"

#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"
#include "charsets/Utf16.h"

namespace phonesim {
namespace {

using ascii_case::equalIgnoringCase;

std::string latin1(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i += utf16::unitsAt(text, i))
        out.push_back(text[i] < 0x100 ? static_cast<char>(text[i]) : '?');
    return out;
}

}  // namespace

PhoneCharset PhoneCharset::named(std::string_view name) {
    if (equalIgnoringCase(name, "UCS2")) {
        return PhoneCharset(Kind::Ucs2);
    }
    if (equalIgnoringCase(name, "UTF8") || equalIgnoringCase(name, "UTF-8")) {
        return PhoneCharset(Kind::Utf8);
    }
    if (equalIgnoringCase(name, "8859-1")) {
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
