#pragma once

#include <cstdint>

#include "charsets/IMbsToUcsConvertImpl.h"

// Bytes of one code page to wide text.
class MbsToUcsDefaultConverter final : public IMbsToUcsConvertImpl {
public:
    explicit MbsToUcsDefaultConverter(std::uint32_t codePage);

    std::u16string convert(const std::string& text) const override;

    std::uint32_t codePage() const { return codePage_; }

private:
    std::uint32_t codePage_;
};
