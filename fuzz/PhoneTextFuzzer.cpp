// The decoders for the text of other makers' phones: the GSM alphabet, the test for hex that
// spells 8-bit text where UCS2 is due, the numbers and name lists sent in the UCS2 form, and the
// name and number decoding of the standard reader built on them. For any bytes nothing throws or
// crashes, and
//   - GSM: what decodes re-encodes to the same text (but for U+FFFD, which becomes '?'), and
//     septets that hold no fallback come back byte for byte; text encodes to one character per
//     character, each itself or '?';
//   - 8-bit hex: what is taken for 8-bit text spells those bytes (a trailing NUL aside); hex of
//     UTF-16 with a zero byte in every unit (Latin text) never is; printable ASCII holding a
//     letter and ending in a NUL always is;
//   - numbers: a number taken from the UCS2 form dials and re-encodes to that hex; the hex of
//     two or more dialling characters is always taken;
//   - name lists: names taken from the UCS2 form are printable ASCII and re-encode to the list;
//   - another maker's names end in no blank and no NUL, the maker's in no NUL, and numbers hold
//     no control character.
//
// Input: the bytes are used as they are (GSM septets, a value as the phone sent it), as the
// UTF-16LE text they spell, and as the hex of themselves.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"
#include "charsets/HexHabits.h"
#include "charsets/PhoneMaker.h"
#include "charsets/TextCodec.h"
#include "charsets/UCSHexEncoder.h"
#include "charsets/Utf16.h"
#include "phonebook/PhoneTextDecoders.h"

namespace {

using fuzz_support::check;
using fuzz_support::printable;

constexpr unsigned char kEscape = 0x1B;

std::u16string utf16le(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char byte : bytes) {
        hex += kDigits[static_cast<unsigned char>(byte) >> 4];
        hex += kDigits[static_cast<unsigned char>(byte) & 0x0F];
    }
    return hex;
}

std::string ucs2Hex(std::u16string_view text) {
    return UCSHexEncoder().convert(std::u16string(text));
}

std::size_t characters(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += utf16::unitsAt(text, i))
        ++count;
    return count;
}

// The characters of the extension table, by their code after the escape.
bool isExtensionCode(unsigned char code) {
    return std::u16string_view(u"\n\x14()/<=>@e").find(code) != std::u16string_view::npos;
}

// Septets that decode without any fallback: all below 0x80, every escape before a code of the
// extension table.
bool plainSeptets(std::string_view septets) {
    for (std::size_t i = 0; i < septets.size(); ++i) {
        const auto byte = static_cast<unsigned char>(septets[i]);
        if (byte >= 0x80)
            return false;
        if (byte == kEscape) {
            if (i + 1 == septets.size() ||
                !isExtensionCode(static_cast<unsigned char>(septets[i + 1])))
                return false;
            ++i;
        }
    }
    return true;
}

void checkGsm(std::string_view bytes, std::u16string_view text) {
    const std::u16string decoded = text_codec::decode(code_page::Gsm, bytes);
    const std::string encoded = text_codec::encode(code_page::Gsm, decoded);
    std::u16string marked = decoded;
    std::replace(marked.begin(), marked.end(), char16_t{0xFFFD}, u'?');
    FUZZ_CHECK(text_codec::decode(code_page::Gsm, encoded) == marked,
               "decoded GSM text does not re-encode to itself", printable(bytes));
    if (plainSeptets(bytes)) {
        FUZZ_CHECK(encoded == bytes, "plain septets do not come back byte for byte",
                   printable(bytes));
    }

    const std::u16string back =
        text_codec::decode(code_page::Gsm, text_codec::encode(code_page::Gsm, text));
    FUZZ_CHECK(back.size() == characters(text), "GSM changed the number of characters",
               printable(text));
    for (std::size_t i = 0, j = 0; i < text.size(); i += utf16::unitsAt(text, i), ++j) {
        const bool same =
            back[j] == text[i] || back[j] == u'?' || (text[i] == u'\u00E7' && back[j] == u'\u00C7');
        FUZZ_CHECK(same, "GSM changed a character it holds", printable(text));
    }
}

void checkEightBitHex(std::string_view bytes) {
    // The input as a value the phone sent.
    if (hex_habits::spellsEightBitText(bytes)) {
        const std::string spelled =
            text_codec::encode(code_page::Latin1, hex_habits::eightBitText(bytes));
        std::string hex = ascii_case::upperCased(bytes);
        if (hex.size() >= 2 && hex.compare(hex.size() - 2, 2, "00") == 0)
            hex.resize(hex.size() - 2);
        FUZZ_CHECK(hexOf(spelled) == hex, "8-bit text does not spell its hex", printable(bytes));
    }

    // The hex of the input's bytes.
    const std::string hex = hexOf(bytes);
    if (hex_habits::spellsEightBitText(hex)) {
        std::string_view body = bytes;
        if (!body.empty() && body.back() == '\0')
            body.remove_suffix(1);
        FUZZ_CHECK(text_codec::encode(code_page::Latin1, hex_habits::eightBitText(hex)) == body,
                   "8-bit text is not the bytes its hex spells", printable(bytes));
    }

    // UTF-16 of text below U+0100 holds a zero byte in every unit.
    std::string latin;
    for (const char byte : bytes) {
        latin += '\0';
        latin += byte;
    }
    FUZZ_CHECK(!hex_habits::spellsEightBitText(hexOf(latin)),
               "UTF-16 of Latin text taken for 8-bit", printable(bytes));

    // Printable ASCII with a letter, ended by a NUL, is what such phones send.
    std::string name;
    for (const char byte : bytes)
        name += static_cast<char>(0x20 + static_cast<unsigned char>(byte) % 95);
    name += "x";
    FUZZ_CHECK(hex_habits::spellsEightBitText(hexOf(name + '\0')),
               "8-bit text ending in a NUL not taken for it", printable(name));
    FUZZ_CHECK(
        text_codec::encode(code_page::Ascii, hex_habits::eightBitText(hexOf(name + '\0'))) == name,
        "8-bit text read wrongly", printable(name));
}

void checkNumbers(std::string_view bytes) {
    std::u16string number;
    if (hex_habits::decodeNumber(bytes, number)) {
        FUZZ_CHECK(std::all_of(number.begin(), number.end(), hex_habits::isDiallingCharacter),
                   "a number taken from hex does not dial", printable(bytes));
        FUZZ_CHECK(ucs2Hex(number) == ascii_case::upperCased(bytes),
                   "a number taken from hex does not re-encode to it", printable(bytes));
    }

    static constexpr std::u16string_view kDialling = u"0123456789+*#pPwW,";
    std::u16string dialled;
    for (const char byte : bytes)
        dialled += kDialling[static_cast<unsigned char>(byte) % kDialling.size()];
    if (dialled.size() < 2)
        dialled += u"12";
    std::u16string decoded;
    FUZZ_CHECK(hex_habits::decodeNumber(ucs2Hex(dialled), decoded) && decoded == dialled,
               "the hex of a dialling string is not taken for it", printable(dialled));
}

void checkNameLists(std::string_view bytes) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t comma = bytes.find(',');; comma = bytes.find(',', start)) {
        names.emplace_back(
            bytes.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    const std::vector<std::string> sent = names;
    if (!hex_habits::decodeNames(names)) {
        check(names == sent, "a list not in the UCS2 form was changed");
        return;
    }
    check(names.size() == sent.size(), "a list in the UCS2 form changed its length");
    for (std::size_t i = 0; i < names.size(); ++i) {
        FUZZ_CHECK(std::all_of(names[i].begin(), names[i].end(),
                               [](char c) { return c >= 0x20 && c <= 0x7E; }),
                   "a name from the UCS2 form is not printable ASCII", printable(bytes));
        FUZZ_CHECK(ucs2Hex(text_codec::fromUtf8(names[i])) == ascii_case::upperCased(sent[i]),
                   "a name from the UCS2 form does not re-encode to it", printable(bytes));
    }
}

bool isControl(char16_t unit) {
    return unit < 0x20 || unit == 0x7F;
}

void checkReaderDecoding(std::string_view bytes) {
    static const PhoneTextDecoders kOtherUcs2(u"UCS2", PhoneMaker::Other);
    static const PhoneTextDecoders kOtherGsm(u"GSM", PhoneMaker::Other);
    static const PhoneTextDecoders kOwnUcs2(u"UCS2", PhoneMaker::Own);
    const std::string quoted = '"' + std::string(bytes) + '"';
    for (const std::string& value : {std::string(bytes), quoted}) {
        for (const PhoneTextDecoders* decoders : {&kOtherUcs2, &kOtherGsm}) {
            const std::u16string name = decoders->decodeName(value);
            FUZZ_CHECK(name.empty() || (name.back() != u' ' && name.back() != 0),
                       "another maker's name ends in a blank or NUL", printable(value));
            const std::u16string number = decoders->decodeNumber(value);
            FUZZ_CHECK(std::none_of(number.begin(), number.end(), isControl),
                       "a number holds a control character", printable(value));
        }
        const std::u16string name = kOwnUcs2.decodeName(value);
        FUZZ_CHECK(name.empty() || name.back() != 0, "the maker's name ends in a NUL",
                   printable(value));
        const std::u16string number = kOwnUcs2.decodeNumber(value);
        FUZZ_CHECK(std::none_of(number.begin(), number.end(), isControl),
                   "the maker's number holds a control character", printable(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkGsm(bytes, utf16le(bytes));
    checkEightBitHex(bytes);
    checkNumbers(bytes);
    checkNameLists(bytes);
    checkReaderDecoding(bytes);
    return 0;
}
