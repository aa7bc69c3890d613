#include <gtest/gtest.h>

#include <string>

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/TextCodec.h"
#include "charsets/UCSHexEncoder.h"

namespace {

using std::string_literals::operator""s;

// Names as a phone in text mode sends them with AT+CSCS="GSM": one byte per septet.
TEST(GsmAlphabet, DecodesNamesAsPhonesSendThemAndWritesThemBack) {
    const struct {
        std::string septets;
        std::u16string text;
    } cases[] = {
        {"\0Home"s, u"@Home"},
        {"J\x7Erg Kr\x7Eger", u"J\u00FCrg Kr\u00FCger"},
        {"\x1Csa \x0Brn, \x1F"
         "douard",
         u"\u00C6sa \u00D8rn, \u00C9douard"},
        {"Caf\x05 5\x1B\x65", u"Caf\u00E9 5\u20AC"},
        {"\x1B<Work\x1B> \x1B(x\x1B)\x1B/\x1B\x40\x1B=\x1B\x14", u"[Work] {x}\\|~^"},
        {"\x15\x11Pizza\x02\x01\x03", u"\u03A9_Pizza$\u00A3\u00A5"},
        {"\x5D"
         "a\x7D"
         "ez \x5B\x5C\x5E\x7B\x7C\x7F\x60\x40\x5F\x24",
         u"\u00D1a\u00F1ez \u00C4\u00D6\u00DC\u00E4\u00F6\u00E0\u00BF\u00A1\u00A7\u00A4"},
        {"\x10\x12\x13\x14\x16\x17\x18\x19\x1A\x1E",
         u"\u0394\u03A6\u0393\u039B\u03A0\u03A8\u03A3\u0398\u039E\u00DF"},
        {"\x04\x06\x07\x08\x09\x0E\x0F\x0C\x1D",
         u"\u00E8\u00F9\u00EC\u00F2\u00C7\u00C5\u00E5\u00F8\u00E6"},
        {"a\nb\rc\x1B\x0A", u"a\nb\rc\f"},
    };
    const auto decoder = makeTextConverter(code_page::Gsm);
    for (const auto& c : cases) {
        EXPECT_EQ(decoder->convert(c.septets), c.text) << c.septets;
        EXPECT_EQ(text_codec::encode(code_page::Gsm, c.text), c.septets) << c.septets;
    }
    // Bare values are hexadecimal septets.
    EXPECT_EQ(makeHexTextConverter(code_page::Gsm)->convert("00416E6E1B65"), u"@Ann\u20AC");
}

TEST(GsmAlphabet, ReadsWhatIsNoCharacterAsTheStandardTellsReceiversToShowIt) {
    const struct {
        std::string septets;
        std::u16string text;
    } cases[] = {
        {"\x1B"
         "A\x1B"
         "b\x1B\x0D",
         u"Ab\r"},                        // unknown extension codes: the main table's
        {"x\x1B\x1By", u"x y"},           // the escape to a further table: a space
        {"end\x1B", u"end "},             // an escape with nothing after it: a space
        {"\x80\xFFz", u"\uFFFD\uFFFDz"},  // no septets
        {"\x1B\xE9z", u" \uFFFDz"},       // an escape before a byte that is no septet
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_codec::decode(code_page::Gsm, c.septets), c.text);
}

TEST(GsmAlphabet, EncodesOneQuestionMarkPerCharacterItCannotHold) {
    EXPECT_EQ(text_codec::encode(code_page::Gsm, u"Zo\u00EB \u260E\U0001F600!"),
              "Zo? ?"
              "?!");
    // The small c cedilla is stored as the capital one.
    EXPECT_EQ(text_codec::encode(code_page::Gsm, u"Fran\u00E7ois"), "Fran\x09ois");
}

TEST(Latin1, MapsEveryByteAndEncodesWhatItCanHold) {
    std::string bytes;
    std::u16string text;
    for (int byte = 0; byte < 256; ++byte) {
        bytes.push_back(static_cast<char>(byte));
        text.push_back(static_cast<char16_t>(byte));
    }
    EXPECT_EQ(makeTextConverter(code_page::Latin1)->convert(bytes), text);
    EXPECT_EQ(text_codec::encode(code_page::Latin1, text), bytes);
    EXPECT_EQ(text_codec::encode(code_page::Latin1, u"Ren\u00E9e \u20AC\U0001F600"),
              "Ren\xE9"
              "e ??");
    EXPECT_EQ(makeHexTextConverter(code_page::Latin1)->convert("52E96E"), u"R\u00E9n");
}

TEST(UCSHexEncoder, WritesFourUppercaseDigitsPerUnit) {
    const UCSHexEncoder encoder;
    EXPECT_EQ(encoder.convert(u"UCS2"), "0055004300530032");
    EXPECT_EQ(encoder.convert(u"\u00E9\u4E2D\U0001F600"), "00E94E2DD83DDE00");
    EXPECT_EQ(encoder.convert(u""), "");
}

}  // namespace
