#include "charsets/UcsToMbsConverter.h"

#include "charsets/TextCodec.h"

UcsToMbsConverter::UcsToMbsConverter(std::uint32_t codePage) : codePage_(codePage) {}

std::string UcsToMbsConverter::convert(const std::u16string& text) const {
    return text_codec::encode(codePage_, text);
}
