#include "phonebook/PhoneTextDecoders.h"

#include <algorithm>

#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/HexHabits.h"
#include "serial_comm/AtValues.h"

namespace {

bool isControl(char16_t unit) {
    return unit < 0x20 || unit == 0x7F;
}

// text without the run of characters at its end for which drop holds.
template <typename Text, typename Drop>
Text withoutTrailing(Text text, Drop drop) {
    while (!text.empty() && drop(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string withoutTrailingNuls(const std::u16string& text) {
    return std::u16string(
        withoutTrailing(std::u16string_view(text), [](char16_t unit) { return unit == 0; }));
}

std::u16string withoutTrailingBlanksAndNuls(const std::u16string& text) {
    return std::u16string(withoutTrailing(std::u16string_view(text),
                                          [](char16_t unit) { return unit == u' ' || unit == 0; }));
}

}  // namespace

PhoneTextDecoders::PhoneTextDecoders(const std::u16string& charsetName, PhoneMaker maker)
    : codePage_(AvailableMbsToUcsCharsets::instance().codePageOf(charsetName)),
      maker_(maker),
      textDecoder_(makeTextConverter(codePage_)),
      asciiDecoder_(makeTextConverter(AvailableMbsToUcsCharsets::instance().codePageOf(u"ASCII"))),
      hexDecoder_(makeHexTextConverter(codePage_)) {}

std::u16string PhoneTextDecoders::decodeText(std::string_view value) const {
    return serial_comm::decodeText(value, *textDecoder_, *hexDecoder_);
}

std::u16string PhoneTextDecoders::decodeAscii(std::string_view value) const {
    return asciiDecoder_->convert(serial_comm::unquote(value));
}

std::u16string PhoneTextDecoders::decodeHex(std::string_view value) const {
    return hexDecoder_->convert(std::string(value));
}

std::u16string PhoneTextDecoders::decodeName(std::string_view value) const {
    if (maker_ == PhoneMaker::Own)
        return withoutTrailingNuls(decodeText(value));
    if (codePage_ != code_page::Utf16)
        return withoutTrailingBlanksAndNuls(decodeText(value));
    // In UCS2 quoted and bare text are both hexadecimal; blanks after the digits are padding.
    const std::string text = serial_comm::unquote(value);
    const std::string_view digits =
        withoutTrailing(std::string_view(text), [](char byte) { return byte == ' '; });
    const std::u16string name = hex_habits::spellsEightBitText(digits)
                                    ? hex_habits::eightBitText(digits)
                                    : hexDecoder_->convert(std::string(digits));
    return withoutTrailingBlanksAndNuls(name);
}

std::u16string PhoneTextDecoders::decodeNumber(std::string_view value) const {
    std::u16string number;
    if (maker_ == PhoneMaker::Other && codePage_ == code_page::Utf16 &&
        hex_habits::decodeNumber(serial_comm::unquote(value), number)) {
        return number;
    }
    number = decodeAscii(value);
    number.erase(std::remove_if(number.begin(), number.end(), isControl), number.end());
    return number;
}
