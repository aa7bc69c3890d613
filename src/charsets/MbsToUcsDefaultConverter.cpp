#include "charsets/MbsToUcsDefaultConverter.h"

#include "charsets/TextCodec.h"

MbsToUcsDefaultConverter::MbsToUcsDefaultConverter(std::uint32_t codePage) : codePage_(codePage) {}

std::u16string MbsToUcsDefaultConverter::convert(const std::string& text) const {
    return text_codec::decode(codePage_, text);
}
