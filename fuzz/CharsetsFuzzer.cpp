// The charset converters both ways, through the factories the readers and writers use, for every
// code page the program knows and for the locale's charset (code page 0) in several locales. For
// any bytes and any UTF-16 (lone surrogates too): nothing throws or crashes, and
//   - UTF-8: the result re-encodes to well-formed UTF-8, which decodes to the same text, and
//     well-formed input comes back byte for byte;
//   - ASCII: one unit per byte, ASCII kept, every other byte U+FFFD; one byte per character
//     when encoding (a surrogate pair is one), "?" for what ASCII cannot hold;
//   - UTF-16LE and the UCS2 hex form: one unit per two bytes or four digits, and back again;
//   - hexadecimal bytes decode as the bytes they spell;
//   - the locale's charset: no character is lost when encoding (each gives at least one byte),
//     and bytes never decode to nothing.
//
// Input: byte 0 chooses the locale (for code page 0) and the code page; the rest are the bytes
// to decode and, read as UTF-16LE, the text to encode.
#include <dirent.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "StrictUtf8.h"
#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/MbsToUcsDefaultConverter.h"
#include "charsets/TextCodec.h"
#include "charsets/UcsToMbsConverter.h"

namespace {

using fuzz_support::check;
using fuzz_support::printable;

// The locales to try for code page 0: the C locales and those in LOCPATH (the fuzz build makes
// a few with non-UTF-8 charsets there).
std::vector<std::string>& locales() {
    static std::vector<std::string> names{"C.UTF-8", "C"};
    return names;
}

void findLocales() {
    const char* folder = std::getenv("LOCPATH");
    if (folder == nullptr)
        return;
    DIR* dir = opendir(folder);
    if (dir == nullptr)
        return;
    std::vector<std::string> found;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (!name.empty() && name[0] != '.')
            found.push_back(name);
    }
    closedir(dir);
    std::sort(found.begin(), found.end());
    locales().insert(locales().end(), found.begin(), found.end());
}

bool isHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::size_t characters(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++count) {
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]))
            ++i;
    }
    return count;
}

std::u16string utf16(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

void checkUtf8(std::string_view bytes, std::u16string_view text) {
    const std::u16string decoded = text_codec::decode(code_page::Utf8, bytes);
    const std::string again = text_codec::encode(code_page::Utf8, decoded);
    std::u16string strict;
    std::string problem;
    if (test_support::decodeStrictUtf8(bytes, strict, problem)) {
        FUZZ_CHECK(strict == decoded, "well-formed UTF-8 decoded wrongly", printable(bytes));
        FUZZ_CHECK(again == bytes, "well-formed UTF-8 does not come back", printable(bytes));
    }
    strict.clear();
    FUZZ_CHECK(test_support::decodeStrictUtf8(again, strict, problem),
               "the UTF-8 encoder wrote ill-formed UTF-8", printable(bytes) + ": " + problem);
    FUZZ_CHECK(text_codec::decode(code_page::Utf8, again) == decoded,
               "decoded UTF-8 does not survive encoding", printable(bytes));

    const std::string encoded = text_codec::encode(code_page::Utf8, text);
    const std::u16string back = text_codec::decode(code_page::Utf8, encoded);
    FUZZ_CHECK(characters(back) == characters(text), "UTF-8 changed the number of characters",
               printable(text));
    for (std::size_t i = 0, j = 0; i < text.size(); ++i, ++j) {
        const bool pair = isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]);
        const bool lone = !pair && (isHigh(text[i]) || isLow(text[i]));
        FUZZ_CHECK(back[j] == (lone ? u'\xFFFD' : text[i]), "UTF-8 changed a character",
                   printable(text));
        if (pair) {
            ++i;
            ++j;
            FUZZ_CHECK(back[j] == text[i], "UTF-8 changed a surrogate pair", printable(text));
        }
    }
}

void checkAscii(std::string_view bytes, std::u16string_view text) {
    const std::u16string decoded = text_codec::decode(code_page::Ascii, bytes);
    check(decoded.size() == bytes.size(), "ASCII decoding is not one unit per byte");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        check(decoded[i] == (byte < 0x80 ? char16_t{byte} : char16_t{0xFFFD}),
              "ASCII decoding changed a byte");
    }
    const std::string encoded = text_codec::encode(code_page::Ascii, text);
    FUZZ_CHECK(encoded.size() == characters(text), "ASCII encoding is not one byte per character",
               printable(text));
    for (std::size_t i = 0, j = 0; i < text.size(); ++i, ++j) {
        check(encoded[j] == (text[i] < 0x80 ? static_cast<char>(text[i]) : '?'),
              "ASCII encoding changed a character");
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]))
            ++i;
    }
}

void checkUtf16(std::string_view bytes, std::u16string_view text) {
    const std::u16string decoded = text_codec::decode(code_page::Utf16, bytes);
    check(decoded == utf16(bytes), "UTF-16LE decoding changed a unit");
    check(text_codec::encode(code_page::Utf16, decoded) == bytes.substr(0, bytes.size() & ~1u),
          "UTF-16LE does not come back");
    check(text_codec::decode(code_page::Utf16, text_codec::encode(code_page::Utf16, text)) == text,
          "text does not survive UTF-16LE");
}

bool hexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

void checkHex(std::string_view bytes, std::uint32_t codePage) {
    const std::string text(bytes);
    const auto hex = makeHexTextConverter(codePage);
    const auto plain = makeTextConverter(codePage);
    const std::u16string decoded = hex->convert(text);
    if (codePage == code_page::Utf16) {
        // Both read the UCS2 form: four digits per unit, a partial group dropped.
        check(decoded.size() == text.size() / 4, "UCS2 hex is not one unit per four digits");
        check(plain->convert(text) == decoded, "the UCS2 text and hex decoders differ");
        if (std::all_of(text.begin(), text.end(), hexDigit)) {
            for (std::size_t i = 0; i < decoded.size(); ++i) {
                int unit = 0;
                for (std::size_t k = 0; k < 4; ++k)
                    unit = unit * 16 + hexValue(text[i * 4 + k]);
                check(decoded[i] == unit, "UCS2 hex decoded a wrong unit");
            }
        }
        return;
    }
    if (!std::all_of(text.begin(), text.end(), hexDigit))
        return;
    std::string spelled;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        spelled += static_cast<char>(hexValue(text[i]) * 16 + hexValue(text[i + 1]));
    FUZZ_CHECK(decoded == plain->convert(spelled),
               "hex bytes do not decode as the bytes they spell", printable(bytes));
}

void checkLocale(std::string_view bytes, std::u16string_view text) {
    const std::u16string decoded =
        MbsToUcsDefaultConverter(code_page::SystemDefault).convert(std::string(bytes));
    const std::string encoded =
        UcsToMbsConverter(code_page::SystemDefault).convert(std::u16string(text));
    FUZZ_CHECK(bytes.empty() || !decoded.empty(), "the locale's charset decoded bytes to nothing",
               printable(bytes));
    FUZZ_CHECK(encoded.size() >= characters(text),
               "the locale's charset lost a character when encoding", printable(text));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    findLocales();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::u16string text = utf16(bytes);
    const unsigned choice = data[0];

    switch (choice % 5) {
        case 0:
            checkUtf8(bytes, text);
            checkHex(bytes, code_page::Utf8);
            break;
        case 1:
            checkAscii(bytes, text);
            checkHex(bytes, code_page::Ascii);
            break;
        case 2:
            checkUtf16(bytes, text);
            checkHex(bytes, code_page::Utf16);
            break;
        case 3: {
            const std::string& locale = locales()[(choice / 5) % locales().size()];
            setenv("LC_ALL", locale.c_str(), 1);
            checkLocale(bytes, text);
            checkHex(bytes, code_page::SystemDefault);
            break;
        }
        default:
            // A code page the program does not know converts to nothing.
            check(text_codec::decode(437, bytes).empty() && text_codec::encode(437, text).empty(),
                  "an unknown code page converted something");
            break;
    }
    return 0;
}
