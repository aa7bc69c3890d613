#include <gtest/gtest.h>

#include "charsets/CharsetChoice.h"
#include "charsets/CharsetMap.h"
#include "charsets/CodePages.h"

namespace {

TEST(CharsetMap, LooksUpNamesUpperCasedButContainsComparesExactly) {
    const auto& table = AvailableMbsToUcsCharsets::instance();
    EXPECT_EQ(table.codePageOf(u"utf8"), code_page::Utf8);
    EXPECT_EQ(table.codePageOf(u"Ucs2"), code_page::Utf16);
    EXPECT_FALSE(table.contains(u"utf8"));
    EXPECT_TRUE(table.contains(u"UTF8"));
    EXPECT_EQ(table.codePageOf(u"PCCP437"), code_page::SystemDefault);
    EXPECT_EQ(table.codePageOf(u""), code_page::SystemDefault);
    // Other makers' charsets; a code page's first name is the one the choice sends.
    EXPECT_EQ(table.codePageOf(u"gsm"), code_page::Gsm);
    EXPECT_EQ(table.codePageOf(u"8859-1"), code_page::Latin1);
    EXPECT_EQ(table.codePageOf(u"Ira"), code_page::Ascii);
    EXPECT_EQ(table.codePageOf(u"utf-8"), code_page::Utf8);
    std::u16string name;
    ASSERT_TRUE(table.nameOfCodePage(code_page::Utf8, name));
    EXPECT_EQ(name, u"UTF8");
    ASSERT_TRUE(table.nameOfCodePage(code_page::Ascii, name));
    EXPECT_EQ(name, u"ASCII");
}

TEST(CharsetMap, EncodingTableHasNoUcs2) {
    const auto& table = AvailableUcsToMbsCharsets::instance();
    std::u16string name;
    EXPECT_FALSE(table.nameOfCodePage(code_page::Utf16, name));
    ASSERT_TRUE(table.nameOfCodePage(code_page::Ascii, name));
    EXPECT_EQ(name, u"ASCII");
}

TEST(CharsetChoice, PrefersUcs2ThenUtf8ElseFallsBackToAscii) {
    auto choice = chooseExportCharset({u"GSM", u"UTF8", u"UCS2"});
    EXPECT_EQ(choice.name, u"UCS2");
    EXPECT_EQ(choice.outputCharset, output_charset::Ucs2);
    EXPECT_FALSE(choice.asciiFallback);

    choice = chooseExportCharset({u"ASCII", u"UTF8"});
    EXPECT_EQ(choice.name, u"UTF8");
    EXPECT_EQ(choice.outputCharset, output_charset::Utf8);
    EXPECT_FALSE(choice.asciiFallback);

    for (const auto& offered :
         {std::vector<std::u16string>{}, std::vector<std::u16string>{u"ucs2", u"utf8"},
          std::vector<std::u16string>{u"ASCII"},
          std::vector<std::u16string>{u"8859-1", u"GSM", u"UTF-8", u"IRA"}}) {
        choice = chooseExportCharset(offered);
        EXPECT_EQ(choice.name, u"ASCII");
        EXPECT_EQ(choice.outputCharset, output_charset::Ascii);
        EXPECT_TRUE(choice.asciiFallback);
    }
}

}  // namespace

namespace {

using Names = std::vector<std::u16string>;

TEST(CharsetChoice, OtherMakersPreferTheRicherCharsetInTheirOwnSpelling) {
    struct Case {
        Names offered;
        std::u16string name;
        std::int32_t outputCharset;
        bool fallback;
    };
    const Case cases[] = {
        {{u"IRA", u"GSM", u"UCS2"}, u"UCS2", output_charset::Ucs2, false},
        {{u"GSM", u"IRA", u"8859-1", u"UTF-8", u"UCS2"}, u"UCS2", output_charset::Ucs2, false},
        {{u"GSM", u"IRA", u"8859-1", u"UTF-8"}, u"UTF-8", output_charset::Utf8, false},
        {{u"8859-1", u"ASCII", u"GSM", u"utf8"}, u"utf8", output_charset::Utf8, false},
        {{u"IRA", u"GSM", u"8859-1", u"PCCP437"}, u"8859-1", output_charset::Utf8, false},
        {{u"IRA", u"gsm", u"HEX"}, u"gsm", output_charset::Utf8, false},
        {{u"ASCII", u"IRA", u"PCDN"}, u"IRA", output_charset::Ascii, true},
        {{u"PCCP437", u"ascii"}, u"ascii", output_charset::Ascii, true},
        {{u"HEX", u"PCCP437"}, u"IRA", output_charset::Ascii, true},
        {{}, u"IRA", output_charset::Ascii, true},
    };
    for (const Case& c : cases) {
        const CharsetChoice choice = chooseExportCharset(c.offered, PhoneMaker::Other);
        EXPECT_EQ(choice.name, c.name);
        EXPECT_EQ(choice.outputCharset, c.outputCharset);
        EXPECT_EQ(choice.asciiFallback, c.fallback);
    }
    // The maker's phones keep their three names, spelled exactly.
    EXPECT_EQ(chooseExportCharset({u"GSM", u"8859-1", u"UTF-8"}).name, u"ASCII");
}

TEST(CharsetChoice, ReadableCharsetsDependOnTheMaker) {
    const Names offered = {u"GSM", u"ucs2", u"UCS2", u"HEX", u"8859-1", u"UTF-8", u"IRA", u"ASCII"};
    EXPECT_EQ(readableCharsets(offered, PhoneMaker::Own), (Names{u"UCS2", u"ASCII"}));
    EXPECT_EQ(readableCharsets(offered, PhoneMaker::Other),
              (Names{u"GSM", u"ucs2", u"UCS2", u"8859-1", u"UTF-8", u"IRA", u"ASCII"}));
}

}  // namespace
