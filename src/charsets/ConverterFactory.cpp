#include "charsets/ConverterFactory.h"

#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"
#include "charsets/MbsHexToUcsConverter.h"
#include "charsets/MbsToUcsDefaultConverter.h"
#include "charsets/UCSHexConverter.h"
#include "charsets/UcsToMbsConverter.h"

std::unique_ptr<IMbsToUcsConvertImpl> makeTextConverter(std::uint32_t codePage) {
    if (codePage == code_page::Utf16) {
        return std::make_unique<UCSHexConverter>();
    }
    return std::make_unique<MbsToUcsDefaultConverter>(codePage);
}

std::unique_ptr<IMbsToUcsConvertImpl> makeHexTextConverter(std::uint32_t codePage) {
    if (codePage == code_page::Utf16) {
        return std::make_unique<UCSHexConverter>();
    }
    return std::make_unique<MbsHexToUcsConverter>(codePage);
}

std::unique_ptr<IUcsToMbsConvertImpl> makeEncoder(const std::u16string& charsetName) {
    const std::uint32_t codePage = AvailableUcsToMbsCharsets::instance().codePageOf(charsetName);
    if (codePage == code_page::SystemDefault) {
        return nullptr;
    }
    return std::make_unique<UcsToMbsConverter>(codePage);
}
