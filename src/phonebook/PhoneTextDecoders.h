#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "charsets/PhoneMaker.h"

// The three decoders with which the phonebook readers turn phone values into wide text, made
// for the phone's current charset: one for text that arrives inside double quotes, one for text
// that arrives as hexadecimal, and one for values that are always plain ASCII (numbers, dates).
class PhoneTextDecoders {
public:
    // charsetName is the name the phone uses, e.g. "UCS2"; an unknown name decodes with the
    // locale's charset. The maker says which habits decodeName and decodeNumber mend.
    explicit PhoneTextDecoders(const std::u16string& charsetName,
                               PhoneMaker maker = PhoneMaker::Own);

    // The code page the charset decoders were made for.
    std::uint32_t codePage() const { return codePage_; }

    // A quoted value unquoted and read with the text decoder, any other value read whole with
    // the hex decoder.
    std::u16string decodeText(std::string_view value) const;
    // The value unquoted and read as ASCII.
    std::u16string decodeAscii(std::string_view value) const;
    // The whole value read with the hex decoder.
    std::u16string decodeHex(std::string_view value) const;

    // A phonebook entry's name: decodeText, and NULs that end the name dropped. For another
    // maker's phone also blanks that pad the end of the name (in the value as sent and in the
    // text), and in UCS2 a value that spells 8-bit text instead of UTF-16 is read as 8-bit text
    // (ISO 8859-1) without its trailing NUL.
    std::u16string decodeName(std::string_view value) const;
    // A phonebook entry's number: decodeAscii without its control characters. For another
    // maker's phone in UCS2, a number sent in the UCS2 form is decoded where that is
    // unambiguous (hex_habits::decodeNumber).
    std::u16string decodeNumber(std::string_view value) const;

private:
    std::uint32_t codePage_;
    PhoneMaker maker_;
    std::unique_ptr<IMbsToUcsConvertImpl> textDecoder_;
    std::unique_ptr<IMbsToUcsConvertImpl> asciiDecoder_;
    std::unique_ptr<IMbsToUcsConvertImpl> hexDecoder_;
};
