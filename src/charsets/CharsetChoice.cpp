#include "charsets/CharsetChoice.h"

#include <algorithm>
#include <array>

#include "charsets/AsciiCase.h"
#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"

namespace {

struct Preference {
    const char16_t* name;  // upper case, as the table holds it
    std::int32_t outputCharset;
};

// Other makers' charsets, the best first.
constexpr std::array<Preference, 6> kOtherMakersPreference = {{
    {u"UCS2", output_charset::Ucs2},
    {u"UTF8", output_charset::Utf8},
    {u"8859-1", output_charset::Utf8},
    {u"GSM", output_charset::Utf8},
    {u"IRA", output_charset::Ascii},
    {u"ASCII", output_charset::Ascii},
}};
constexpr const char16_t* kOtherMakersFallback = u"IRA";

// A name as the table of another maker's phone knows it: upper case, UTF-8 read as UTF8.
std::u16string canonical(const std::u16string& name) {
    std::u16string upper = ascii_case::upperCased(name);
    return upper == u"UTF-8" ? std::u16string(u"UTF8") : upper;
}

// The maker's phones: the name the table holds for a code page, if the phone offered it as is.
bool offersExactly(const std::vector<std::u16string>& offered, std::uint32_t codePage,
                   std::u16string& name) {
    if (offered.empty() || !AvailableMbsToUcsCharsets::instance().nameOfCodePage(codePage, name)) {
        return false;
    }
    return std::find(offered.begin(), offered.end(), name) != offered.end();
}

bool readableByTheMaker(const std::u16string& name) {
    const auto& table = AvailableMbsToUcsCharsets::instance();
    for (const std::uint32_t codePage : {code_page::Utf16, code_page::Utf8, code_page::Ascii}) {
        std::u16string known;
        if (table.nameOfCodePage(codePage, known) && known == name)
            return true;
    }
    return false;
}

bool readableFromOtherMakers(const std::u16string& name) {
    return AvailableMbsToUcsCharsets::instance().codePageOf(name) != code_page::SystemDefault;
}

CharsetChoice chooseForTheMaker(const std::vector<std::u16string>& offered) {
    CharsetChoice choice;
    if (offersExactly(offered, code_page::Utf16, choice.name)) {
        choice.outputCharset = output_charset::Ucs2;
        return choice;
    }
    if (offersExactly(offered, code_page::Utf8, choice.name)) {
        choice.outputCharset = output_charset::Utf8;
        return choice;
    }
    AvailableMbsToUcsCharsets::instance().nameOfCodePage(code_page::Ascii, choice.name);
    choice.outputCharset = output_charset::Ascii;
    choice.asciiFallback = true;
    return choice;
}

CharsetChoice chooseForOtherMakers(const std::vector<std::u16string>& offered) {
    CharsetChoice choice;
    for (const Preference& preference : kOtherMakersPreference) {
        const auto found =
            std::find_if(offered.begin(), offered.end(), [&preference](const std::u16string& name) {
                return canonical(name) == preference.name;
            });
        if (found != offered.end()) {
            choice.name = *found;
            choice.outputCharset = preference.outputCharset;
            choice.asciiFallback = preference.outputCharset == output_charset::Ascii;
            return choice;
        }
    }
    choice.name = kOtherMakersFallback;
    choice.outputCharset = output_charset::Ascii;
    choice.asciiFallback = true;
    return choice;
}

}  // namespace

std::vector<std::u16string> readableCharsets(const std::vector<std::u16string>& offered,
                                             PhoneMaker maker) {
    std::vector<std::u16string> readable;
    for (const std::u16string& name : offered) {
        if (maker == PhoneMaker::Own ? readableByTheMaker(name) : readableFromOtherMakers(name))
            readable.push_back(name);
    }
    return readable;
}

CharsetChoice chooseExportCharset(const std::vector<std::u16string>& offered, PhoneMaker maker) {
    return maker == PhoneMaker::Own ? chooseForTheMaker(offered) : chooseForOtherMakers(offered);
}
