#include "charsets/MbsToUcsDefaultConverter.h"

#include "charsets/CodePages.h"
#include "charsets/LocaleCharset.h"
#include "charsets/TextCodec.h"

MbsToUcsDefaultConverter::MbsToUcsDefaultConverter(std::uint32_t codePage)
    : codePage_(codePage),
      locale_(codePage == code_page::SystemDefault ? std::make_unique<LocaleCharset>() : nullptr) {}

MbsToUcsDefaultConverter::~MbsToUcsDefaultConverter() = default;
MbsToUcsDefaultConverter::MbsToUcsDefaultConverter(MbsToUcsDefaultConverter&&) noexcept = default;

std::u16string MbsToUcsDefaultConverter::convert(const std::string& text) const {
    if (locale_)
        return locale_->decode(text);
    return text_codec::decode(codePage_, text);
}
