#pragma once

#include <cstdint>

#include "charsets/IUcsToMbsConvertImpl.h"

// Wide text to bytes of one code page ("?" for what the code page cannot hold).
class UcsToMbsConverter final : public IUcsToMbsConvertImpl {
public:
    explicit UcsToMbsConverter(std::uint32_t codePage);

    std::string convert(const std::u16string& text) const override;

    std::uint32_t codePage() const { return codePage_; }

private:
    std::uint32_t codePage_;
};
