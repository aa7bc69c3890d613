#pragma once

#include <cstdint>
#include <memory>

#include "charsets/IUcsToMbsConvertImpl.h"

class LocaleCharset;

// Wide text to bytes of one code page ("?" for what the code page cannot hold). For code page 0
// (the locale's charset) the locale is set up once, when the converter is made. Like every
// converter, used by one thread at a time.
class UcsToMbsConverter final : public IUcsToMbsConvertImpl {
public:
    explicit UcsToMbsConverter(std::uint32_t codePage);
    ~UcsToMbsConverter() override;
    UcsToMbsConverter(UcsToMbsConverter&&) noexcept;

    std::string convert(const std::u16string& text) const override;

    std::uint32_t codePage() const { return codePage_; }

    // The locale's charset this converter writes (code page 0 only), set up at construction.
    const LocaleCharset* localeCharset() const { return locale_.get(); }

private:
    std::uint32_t codePage_;
    std::unique_ptr<LocaleCharset> locale_;  // only for code page 0
};
