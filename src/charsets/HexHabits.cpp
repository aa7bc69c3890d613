#include "charsets/HexHabits.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "charsets/CodePages.h"
#include "charsets/HexDigits.h"
#include "charsets/TextCodec.h"
#include "charsets/UCSHexConverter.h"
#include "charsets/Utf16.h"

namespace hex_habits {
namespace {

constexpr std::size_t kDigitsPerUnit = 4;
constexpr std::size_t kDigitsPerByte = 2;

bool isDigit(char digit) {
    return hex_digits::valueOf(digit) != hex_digits::kNotADigit;
}

// The bytes that hex (digits only) spells, two digits a byte; a single trailing digit dropped.
std::string bytesOf(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / kDigitsPerByte);
    for (std::size_t pair = 0; pair + kDigitsPerByte <= hex.size(); pair += kDigitsPerByte) {
        bytes.push_back(static_cast<char>((hex_digits::valueOf(hex[pair]) << 4) |
                                          hex_digits::valueOf(hex[pair + 1])));
    }
    return bytes;
}

std::u16string unitsOf(std::string_view hex) {
    return UCSHexConverter().convert(std::string(hex));
}

bool isPrintableAscii(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

bool isAsciiLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// A byte that 8-bit text may hold: no control character of either range, no NUL.
bool isTextByte(unsigned char byte) {
    return isPrintableAscii(byte) || byte >= 0xA0;
}

bool hasUnpairedSurrogate(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); i += utf16::unitsAt(units, i)) {
        if (utf16::isSurrogate(units[i]) && !utf16::isPairAt(units, i))
            return true;
    }
    return false;
}

std::string_view withoutTrailingNul(std::string_view bytes) {
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    return bytes;
}

template <typename Test>
bool allBytes(std::string_view bytes, Test test) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [&test](char byte) { return test(static_cast<unsigned char>(byte)); });
}

template <typename Test>
bool anyByte(std::string_view bytes, Test test) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [&test](char byte) { return test(static_cast<unsigned char>(byte)); });
}

}  // namespace

bool isHex(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

bool spellsEightBitText(std::string_view hex) {
    if (hex.size() % kDigitsPerByte != 0 || !isHex(hex))
        return false;
    const std::string bytes = bytesOf(hex);
    const std::string_view body = withoutTrailingNul(bytes);
    if (body.empty() || !allBytes(body, isTextByte))
        return false;
    if (hex.size() % kDigitsPerUnit != 0 || hasUnpairedSurrogate(unitsOf(hex)))
        return true;
    const bool endsInNul = body.size() < bytes.size();
    return endsInNul && allBytes(body, isPrintableAscii) && anyByte(body, isAsciiLetter);
}

std::u16string eightBitText(std::string_view hex) {
    const std::string bytes = bytesOf(hex);
    return text_codec::decode(code_page::Latin1, withoutTrailingNul(bytes));
}

bool isDiallingCharacter(char16_t character) {
    if (character >= u'0' && character <= u'9')
        return true;
    switch (character) {
        case u'+':
        case u'*':
        case u'#':
        case u'p':
        case u'P':
        case u'w':
        case u'W':
        case u',':
            return true;
        default:
            return false;
    }
}

bool decodeNumber(std::string_view hex, std::u16string& number) {
    if (hex.size() < 2 * kDigitsPerUnit || hex.size() % kDigitsPerUnit != 0 || !isHex(hex))
        return false;
    std::u16string units = unitsOf(hex);
    if (!std::all_of(units.begin(), units.end(), isDiallingCharacter))
        return false;
    number = std::move(units);
    return true;
}

bool decodeNames(std::vector<std::string>& names) {
    std::vector<std::string> decoded;
    decoded.reserve(names.size());
    for (const std::string& name : names) {
        if (name.size() % kDigitsPerUnit != 0 || !isHex(name))
            return false;
        std::string ascii;
        for (const char16_t unit : unitsOf(name)) {
            if (unit > 0xFF || !isPrintableAscii(static_cast<unsigned char>(unit)))
                return false;
            ascii.push_back(static_cast<char>(unit));
        }
        decoded.push_back(std::move(ascii));
    }
    if (decoded.empty())
        return false;
    names = std::move(decoded);
    return true;
}

}  // namespace hex_habits
