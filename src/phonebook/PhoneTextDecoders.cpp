#include "phonebook/PhoneTextDecoders.h"

#include "charsets/CharsetMap.h"
#include "charsets/ConverterFactory.h"
#include "serial_comm/AtValues.h"

PhoneTextDecoders::PhoneTextDecoders(const std::u16string& charsetName)
    : codePage_(AvailableMbsToUcsCharsets::instance().codePageOf(charsetName)),
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
