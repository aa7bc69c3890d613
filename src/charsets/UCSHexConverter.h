#pragma once

#include "charsets/IMbsToUcsConvertImpl.h"

// Hexadecimal UTF-16 as phones send it in the UCS2 charset: four digits per code unit, most
// significant digit first ("00E9" is U+00E9). Surrogate pairs pass through as two units. A
// partial group at the end of the input is dropped.
class UCSHexConverter final : public IMbsToUcsConvertImpl {
public:
    std::u16string convert(const std::string& text) const override;
};
