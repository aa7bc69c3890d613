#pragma once

#include <cstdint>
#include <memory>

#include "charsets/IMbsToUcsConvertImpl.h"

class LocaleCharset;

// Bytes of one code page to wide text. For code page 0 (the locale's charset) the locale is set
// up once, when the converter is made. Like every converter, used by one thread at a time.
class MbsToUcsDefaultConverter final : public IMbsToUcsConvertImpl {
public:
    explicit MbsToUcsDefaultConverter(std::uint32_t codePage);
    ~MbsToUcsDefaultConverter() override;
    MbsToUcsDefaultConverter(MbsToUcsDefaultConverter&&) noexcept;

    std::u16string convert(const std::string& text) const override;

    std::uint32_t codePage() const { return codePage_; }

    // The locale's charset this converter reads (code page 0 only), set up at construction.
    const LocaleCharset* localeCharset() const { return locale_.get(); }

private:
    std::uint32_t codePage_;
    std::unique_ptr<LocaleCharset> locale_;  // only for code page 0
};
