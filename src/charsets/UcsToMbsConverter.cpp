#include "charsets/UcsToMbsConverter.h"

#include "charsets/CodePages.h"
#include "charsets/LocaleCharset.h"
#include "charsets/TextCodec.h"

UcsToMbsConverter::UcsToMbsConverter(std::uint32_t codePage)
    : codePage_(codePage),
      locale_(codePage == code_page::SystemDefault ? std::make_unique<LocaleCharset>() : nullptr) {}

UcsToMbsConverter::~UcsToMbsConverter() = default;
UcsToMbsConverter::UcsToMbsConverter(UcsToMbsConverter&&) noexcept = default;

std::string UcsToMbsConverter::convert(const std::u16string& text) const {
    if (locale_)
        return locale_->encode(text);
    return text_codec::encode(codePage_, text);
}
