#include "charsets/CharsetChoice.h"

#include <algorithm>

#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"

namespace {

bool offers(const std::vector<std::u16string>& offered, std::uint32_t codePage,
            std::u16string& name) {
    if (offered.empty() || !AvailableMbsToUcsCharsets::instance().nameOfCodePage(codePage, name)) {
        return false;
    }
    return std::find(offered.begin(), offered.end(), name) != offered.end();
}

}  // namespace

CharsetChoice chooseExportCharset(const std::vector<std::u16string>& offered) {
    CharsetChoice choice;
    if (offers(offered, code_page::Utf16, choice.name)) {
        choice.outputCharset = output_charset::Ucs2;
        return choice;
    }
    if (offers(offered, code_page::Utf8, choice.name)) {
        choice.outputCharset = output_charset::Utf8;
        return choice;
    }
    AvailableMbsToUcsCharsets::instance().nameOfCodePage(code_page::Ascii, choice.name);
    choice.outputCharset = output_charset::Ascii;
    choice.asciiFallback = true;
    return choice;
}
