#include "phonesim/PhoneCharset.h"

#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"
#include "charsets/UCSHexEncoder.h"

namespace phonesim {
namespace {

using ascii_case::equalIgnoringCase;

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
    if (equalIgnoringCase(name, "GSM")) {
        return PhoneCharset(Kind::Gsm);
    }
    return PhoneCharset(Kind::Ascii);
}

std::string PhoneCharset::render(std::u16string_view text) const {
    switch (kind_) {
        case Kind::Ucs2:
            return UCSHexEncoder().convert(std::u16string(text));
        case Kind::Utf8:
            return text_codec::toUtf8(text);
        case Kind::Latin1:
            return text_codec::encode(code_page::Latin1, text);
        case Kind::Gsm:
            return text_codec::encode(code_page::Gsm, text);
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
        case Kind::Gsm:
            // A character of the extension table takes two bytes but decodes to one unit.
            return text_codec::decode(code_page::Gsm, render(text)).size();
    }
    // One byte per character, and each byte decodes to one unit.
    return render(text).size();
}

}  // namespace phonesim
