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

TEST(TextConverters, InvalidUtf8GivesOneReplacementPerMaximalSubpart) {
    // Each maximal subpart of an ill-formed sequence (the longest start of a well-formed one)
    // is one U+FFFD; a byte that can start nothing is one U+FFFD of its own.
    constexpr char16_t R = 0xFFFD;
    const struct {
        const char* name;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"overlong 2 bytes", "a\xC0\x80z", {u'a', R, R, u'z'}},
        {"overlong 2 bytes, C1", "\xC1\xBF", {R, R}},
        {"overlong 3 bytes", "a\xE0\x80\x80z", {u'a', R, R, R, u'z'}},
        {"overlong 3 bytes, top", "\xE0\x9F\xBF", {R, R, R}},
        {"overlong 4 bytes", "a\xF0\x80\x80\x80z", {u'a', R, R, R, R, u'z'}},
        {"encoded high surrogate", "a\xED\xA0\x80z", {u'a', R, R, R, u'z'}},
        {"encoded low surrogate", "\xED\xBF\xBF", {R, R, R}},
        {"above U+10FFFF", "a\xF4\x90\x80\x80z", {u'a', R, R, R, R, u'z'}},
        {"F5 lead", "\xF5\x80\x80\x80", {R, R, R, R}},
        {"five-byte form", "\xF8\x88\x80\x80\x80", {R, R, R, R, R}},
        {"bytes F5 to FF", "\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF", std::u16string(11, R)},
        {"lone continuation bytes", "\x80\xBF", {R, R}},
        {"two bytes cut at the end", "ab\xC3", {u'a', u'b', R}},
        {"three bytes cut at the end", "ab\xE2\x82", {u'a', u'b', R}},
        {"four bytes cut at the end", "ab\xF0\x9F\x98", {u'a', u'b', R}},
        {"cut in the middle", "\xE2\x82z\xF0\x9F\x98\xC3\xA9", {R, u'z', R, u'\u00E9'}},
        {"the standard's own example",
         "a\xF1\x80\x80\xE1\x80\xC2"
         "b\x80"
         "c\x80\xBF"
         "d",
         {u'a', R, R, R, u'b', R, u'c', R, R, u'd'}},
        {"edges that are valid",
         "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD\xF0\x90\x80\x80"
         "\xF4\x8F\xBF\xBF",
         u"\u0080\u07FF\u0800\uD7FF\uE000\uFFFD\U00010000\U0010FFFF"},
        {"NUL stays", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    const auto utf8 = makeTextConverter(code_page::Utf8);
    for (const auto& c : cases)
        EXPECT_EQ(utf8->convert(c.bytes), c.text) << c.name;
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
