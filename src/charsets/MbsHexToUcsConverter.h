#pragma once

#include <cstdint>

#include "charsets/IMbsToUcsConvertImpl.h"
#include "charsets/MbsToUcsDefaultConverter.h"

// Hexadecimal bytes (two digits a byte) of one code page to wide text. A single trailing
// digit is dropped.
class MbsHexToUcsConverter final : public IMbsToUcsConvertImpl {
public:
    explicit MbsHexToUcsConverter(std::uint32_t codePage);

    std::u16string convert(const std::string& text) const override;

private:
    MbsToUcsDefaultConverter bytes_;
};
