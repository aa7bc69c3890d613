#include <gtest/gtest.h>

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/MbsHexToUcsConverter.h"
#include "charsets/UCSHexConverter.h"
#include "charsets/UcsToMbsConverter.h"

namespace {

TEST(UCSHexConverter, DecodesGroupsOfFourDigitsIncludingSurrogatePairs) {
    const UCSHexConverter converter;
    EXPECT_EQ(converter.convert("004100420043"), u"ABC");
    EXPECT_EQ(converter.convert("00e94E2D"), u"\u00E9\u4E2D");
    EXPECT_EQ(converter.convert("D83DDE00"), u"\U0001F600");
    EXPECT_EQ(converter.convert(""), u"");
}

TEST(UCSHexConverter, DropsAPartialGroupWithoutProducingNul) {
    const UCSHexConverter converter;
    EXPECT_EQ(converter.convert("00410"), u"A");
    EXPECT_EQ(converter.convert("004100420"), u"AB");
    EXPECT_EQ(converter.convert("004"), u"");
}

TEST(UCSHexConverter, BadDigitForcesItsNibbleAndTheMoreSignificantOnesToF) {
    const UCSHexConverter converter;
    EXPECT_EQ(converter.convert("X041"), std::u16string(1, char16_t{0xF041}));
    EXPECT_EQ(converter.convert("004Z"), std::u16string(1, char16_t{0xFFFF}));
}

TEST(MbsHexToUcsConverter, DecodesHexBytesOfTheCodePage) {
    EXPECT_EQ(MbsHexToUcsConverter(code_page::Utf8).convert("C3A9"), u"\u00E9");
    EXPECT_EQ(MbsHexToUcsConverter(code_page::Ascii).convert("414"), u"A");
    EXPECT_EQ(MbsHexToUcsConverter(code_page::Utf8).convert("G1"), u"\uFFFD");
}

TEST(TextConverters, InvalidUtf8GivesReplacementCharacters) {
    const auto utf8 = makeTextConverter(code_page::Utf8);
    EXPECT_EQ(utf8->convert("a\xFF"
                            "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf8->convert("\xE2\x82"), u"\uFFFD");
    EXPECT_EQ(utf8->convert("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8->convert("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(UcsToMbsConverter, AsciiPutsOneQuestionMarkPerCharacter) {
    const UcsToMbsConverter ascii(code_page::Ascii);
    EXPECT_EQ(ascii.convert(u"Z\u00E9\U0001F600."), "Z??.");
    const UcsToMbsConverter utf8(code_page::Utf8);
    EXPECT_EQ(utf8.convert(u"\u00E9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8.convert(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

TEST(ConverterFactory, PicksConvertersByCodePageAndName) {
    EXPECT_EQ(makeTextConverter(code_page::Utf16)->convert("0041"), u"A");
    EXPECT_EQ(makeHexTextConverter(code_page::Utf16)->convert("0041"), u"A");
    EXPECT_EQ(makeTextConverter(code_page::Ascii)->convert("0041"), u"0041");
    EXPECT_EQ(makeHexTextConverter(code_page::Ascii)->convert("41"), u"A");
    EXPECT_EQ(makeEncoder(u"UCS2"), nullptr);
    ASSERT_NE(makeEncoder(u"ascii"), nullptr);
    EXPECT_EQ(makeEncoder(u"ASCII")->convert(u"UCS2"), "UCS2");
}

}  // namespace
