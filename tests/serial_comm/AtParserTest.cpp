#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingSink.h"
#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtTokenizer.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace {

using serial_comm_test::RecordingSink;
using Strings = std::vector<std::string>;

Strings values(std::string_view text) {
    Strings out;
    for (const auto value : serial_comm::splitValues(text, ", ", "\"()"))
        out.emplace_back(value);
    return out;
}

Strings parse(std::string_view answer, std::string_view name) {
    RecordingSink sink;
    serial_comm::parseResponse(sink, answer, name);
    return sink.calls;
}

TEST(MakeCommand, ComposesActionTestReadAndSetForms) {
    EXPECT_EQ(serial_comm::makeCommand("+CGMM"), "AT+CGMM");
    EXPECT_EQ(serial_comm::makeCommand("+CPBS", "?", "="), "AT+CPBS=?");
    EXPECT_EQ(serial_comm::makeCommand("+CPBS", "?"), "AT+CPBS?");
    EXPECT_EQ(serial_comm::makeCommand("+MODE", "2", "="), "AT+MODE=2");
    EXPECT_EQ(serial_comm::makeCommand("+CSCS", serial_comm::quote("UCS2"), "="),
              "AT+CSCS=\"UCS2\"");
}

TEST(SplitValues, FollowsTheSeparatorRules) {
    struct Case {
        std::string text;
        Strings expected;
    };
    const Case cases[] = {
        {"1,,3", {"1", "", "3"}},
        {"1,,,4", {"1", "", "", "4"}},
        {"\"ME\", 12", {"\"ME\"", "", "12"}},  // comma then space: one empty value
        {",1,", {"1"}},                        // nothing for a separator at either end
        {" \"ME\",12,500", {"\"ME\"", "12", "500"}},
        {"\"a,b\",c", {"\"a,b\"", "c"}},  // separators inside quotes belong to the value
        {"(1-250),20", {"(1-250)", "20"}},
        {"(\"ME\",\"SM\")", {"(\"ME\",\"SM\")"}},     // brackets group what they hold
        {"((1-5),(7-9)),3", {"((1-5),(7-9))", "3"}},  // and nest
        {"\"open,rest", {"\"open,rest"}},             // an unbalanced quote runs to the end
        {"(1-250,20", {"(1-250,20"}},                 // and so does an unbalanced bracket
        {"1-2),3", {"1-2)", "3"}},                    // a lone ")" is an ordinary character
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(values(c.text), c.expected) << c.text;
}

TEST(SplitValues, BracketsAndQuotesInsideAStringAreText) {
    // Phones send names between double quotes without escaping anything.
    struct Case {
        std::string text;
        Strings expected;
    };
    const Case cases[] = {
        {"1,\"Ann :)\",129", {"1", "\"Ann :)\"", "129"}},
        {"2,\"(Work)\",129", {"2", "\"(Work)\"", "129"}},
        {"3,\"Bob (Work\",129", {"3", "\"Bob (Work\"", "129"}},
        {"4,\"Bob) x, (y\",129", {"4", "\"Bob) x, (y\"", "129"}},
        {"5,\"a \"quoted\" nick\",129", {"5", "\"a \"quoted\" nick\"", "129"}},
        {"6,\"say \"hi there\" now\",129", {"6", "\"say \"hi there\" now\"", "129"}},
        {"7,\"odd \"one\",129", {"7", "\"odd \"one\"", "129"}},
        {"8,\"end \"Q\"\"", {"8", "\"end \"Q\"\""}},
        {"(\"ME\",\"S(M\"),1", {"(\"ME\",\"S(M\")", "1"}},  // a string inside brackets
        {"\"x\" ,2", {"\"x\"", "", "2"}},                   // a string may be followed by spaces
    };
    for (const Case& c : cases)
        EXPECT_EQ(values(c.text), c.expected) << c.text;
    EXPECT_EQ(serial_comm::splitList("\"A (B\",\"C\""), (Strings{"\"A (B\"", "\"C\""}));
}

TEST(SplitLines, DropsEmptyLinesAndLoneLineEnds) {
    const auto lines = serial_comm::splitLines("\r\nAT+CPBS?\r\r\n\n+CPBS: 1\rOK\r\n");
    EXPECT_EQ(Strings(lines.begin(), lines.end()), (Strings{"AT+CPBS?", "+CPBS: 1", "OK"}));
    EXPECT_TRUE(serial_comm::splitLines("\r\n\r\n").empty());
}

TEST(ValueUtilities, StripOnlyMatchingEnclosures) {
    using serial_comm::unquote;
    EXPECT_EQ(unquote("\"ME\""), "ME");
    EXPECT_EQ(unquote("\"\""), "");
    EXPECT_EQ(unquote("\""), "");  // a lone quote both starts and ends the value
    EXPECT_EQ(unquote(""), "");
    EXPECT_EQ(unquote("\"ME"), "\"ME");
    EXPECT_EQ(unquote("ME\""), "ME\"");
    EXPECT_EQ(serial_comm::stripParentheses("(1-250)"), "1-250");
    EXPECT_EQ(serial_comm::stripParentheses("(1-250"), "(1-250");
    EXPECT_EQ(serial_comm::stripParentheses("()"), "");
    EXPECT_EQ(serial_comm::stripAngleBrackets("<356938035643809>"), "356938035643809");
    EXPECT_EQ(serial_comm::stripAngleBrackets("\"<1>\""), "\"<1>\"");
}

TEST(ValueUtilities, SplitListKeepsQuotesAndCommasInsideThem) {
    EXPECT_EQ(serial_comm::splitList("\"ME\",\"SM\""), (Strings{"\"ME\"", "\"SM\""}));
    EXPECT_EQ(serial_comm::splitList("\"A, B\",\"MODEL=V3\""),
              (Strings{"\"A, B\"", "\"MODEL=V3\""}));
    EXPECT_EQ(serial_comm::splitList("\"ME\",,\"SM\""), (Strings{"\"ME\"", "", "\"SM\""}));
}

TEST(DecodeText, QuotedValuesUseTheTextDecoderOthersTheHexDecoder) {
    const auto text = makeTextConverter(code_page::Utf8);
    const auto hex = makeHexTextConverter(code_page::Utf8);
    EXPECT_EQ(serial_comm::decodeText("\"Jos\xC3\xA9\"", *text, *hex), u"Jos\u00E9");
    EXPECT_EQ(serial_comm::decodeText("4AC3A9", *text, *hex), u"J\u00E9");
    EXPECT_EQ(serial_comm::decodeText("", *text, *hex), u"");

    // In UCS2 both decoders read hexadecimal UTF-16; a surrogate pair stays two units.
    const auto ucs = makeTextConverter(code_page::Utf16);
    const auto ucsHex = makeHexTextConverter(code_page::Utf16);
    EXPECT_EQ(serial_comm::decodeText("\"D83DDE00004A\"", *ucs, *ucsHex), u"\U0001F600J");
    EXPECT_EQ(serial_comm::decodeText("D83DDE00004A", *ucs, *ucsHex), u"\U0001F600J");
}

TEST(ParseResponse, FeedsMatchingLinesAndResults) {
    EXPECT_EQ(
        parse("AT+CPBS?\r\r\n+CPBS: \"ME\",12,500\r\n\r\nOK\r\n", "+CPBS"),
        (Strings{"begin:+CPBS", "value:\"ME\"", "value:12", "value:500", "end", "result:ok"}));
    EXPECT_EQ(parse("\r\n+CPBS: (\"ME\",\"SM\")\r\n\r\nOK\r\n", "+CPBS"),
              (Strings{"begin:+CPBS", "value:(\"ME\",\"SM\")", "end", "result:ok"}));
    EXPECT_EQ(parse("+CPBR: 1,,129\r\n", "+CPBR"),
              (Strings{"begin:+CPBR", "value:1", "value:", "value:129", "end"}));
    // A line with nothing after the prefix still opens and closes a line.
    EXPECT_EQ(parse("+CPBR:\r\n", "+CPBR"), (Strings{"begin:+CPBR", "end"}));
}

TEST(ParseResponse, IgnoresOtherPrefixesEchoesAndNearMissResults) {
    EXPECT_EQ(parse("\r\nERROR\r\n", "+CPBS"), (Strings{"result:error"}));
    EXPECT_EQ(parse("\r\n+CME ERROR: 3\r\n", "+CPBS"), Strings{});
    EXPECT_EQ(parse("+CPBR: 1\r\n+CPBS: 2\r\n", "+CPBS"),
              (Strings{"begin:+CPBS", "value:2", "end"}));
    EXPECT_EQ(parse("OK \r\n ERROR\r\nok\r\nAT+CPBS?\r\n", "+CPBS"), Strings{});
    EXPECT_EQ(parse("+CPBSX: 1\r\n+cpbs: 1\r\n", "+CPBS"), Strings{});
    // Only the first ':' ends the prefix; later ones belong to the values.
    EXPECT_EQ(parse("+CCLK: \"12:30\"\r\n", "+CCLK"),
              (Strings{"begin:+CCLK", "value:\"12:30\"", "end"}));
}

}  // namespace
