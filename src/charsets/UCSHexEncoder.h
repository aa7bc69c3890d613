#pragma once

#include "charsets/IUcsToMbsConvertImpl.h"

// Wide text to the hexadecimal UCS2 form: four uppercase digits per UTF-16 unit, most
// significant first (U+00E9 is "00E9"), surrogates as they stand. What phones in the UCS2
// charset send, and what some of them expect in the strings they are sent.
class UCSHexEncoder final : public IUcsToMbsConvertImpl {
public:
    std::string convert(const std::u16string& text) const override;
};
