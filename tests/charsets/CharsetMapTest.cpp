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
    EXPECT_EQ(table.codePageOf(u"GSM"), code_page::SystemDefault);
    EXPECT_EQ(table.codePageOf(u""), code_page::SystemDefault);
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
          std::vector<std::u16string>{u"ASCII"}}) {
        choice = chooseExportCharset(offered);
        EXPECT_EQ(choice.name, u"ASCII");
        EXPECT_EQ(choice.outputCharset, output_charset::Ascii);
        EXPECT_TRUE(choice.asciiFallback);
    }
}

}  // namespace
