// The CSV reader that the fuzz targets and the soak check the program's files with: it must
// read what the layouts write and refuse everything a broken file could look like, or those
// checks would pass broken files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CsvReadBack.h"
#include "StrictUtf8.h"

namespace {

using test_support::CsvCell;
using test_support::CsvRow;

std::vector<CsvRow> read(const std::string& bytes, std::int32_t charset) {
    std::vector<CsvRow> rows;
    std::string problem;
    EXPECT_TRUE(test_support::readCsvFile(bytes, charset, rows, problem)) << problem;
    return rows;
}

std::string utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(CsvReadBackTest, ReadsRowsOfPlainAndQuotedCellsInEveryCharset) {
    const std::vector<CsvRow> expected{
        {{u"Name", false}, {u"Value", false}},
        {{u"Zo\u00EB, \"Z\"", true}, {u"", false}, {u"two\nlines", true}, {u"", false}},
    };
    const std::string text = "Name,Value\r\n\"Zo\xC3\xAB, \"\"Z\"\"\",,\"two\r\nlines\",\r\n";
    EXPECT_EQ(read("\xEF\xBB\xBF" + text, 1), expected);
    EXPECT_EQ(read(utf16(u"Name,Value\r\n\"Zo\u00EB, \"\"Z\"\"\",,\"two\r\nlines\",\r\n"), 0),
              expected);
    EXPECT_EQ(read("a,\"b\"\r\n", 2), (std::vector<CsvRow>{{{u"a", false}, {u"b", true}}}));
    EXPECT_TRUE(read("\xEF\xBB\xBF", 1).empty());
    EXPECT_TRUE(read("", 2).empty());
}

TEST(CsvReadBackTest, RefusesWhatNoWriterWrites) {
    const std::vector<std::pair<std::string, std::int32_t>> broken{
        {"a,b\r\n", 1},  // no UTF-8 mark
        {"a,b\r\n", 0},  // no UTF-16 mark
        {"\xFF\xFE"
         "a",
         0},  // an odd byte
        {"\xEF\xBB\xBF"
         "a\nb\r\n",
         1},  // a line feed alone
        {"\xEF\xBB\xBF"
         "a,b",
         1},  // a row cut off
        {"\xEF\xBB\xBF"
         "a,",
         1},                            // cut after a comma
        {"\xEF\xBB\xBF\"a,b\r\n", 1},   // a quote never closed
        {"\xEF\xBB\xBF\"a\"b\r\n", 1},  // text after a closing quote
        {"\xEF\xBB\xBF"
         "a\"b\r\n",
         1},                                  // a quote inside a plain cell
        {"\xEF\xBB\xBF\xC3\r\n", 1},          // UTF-8 cut
        {"\xEF\xBB\xBF\xC0\xAF\r\n", 1},      // overlong
        {"\xEF\xBB\xBF\xED\xA0\x80\r\n", 1},  // a surrogate
        {"caf\xE9\r\n", 2},                   // beyond ASCII
        {"a\r\n", 7},                         // a charset code no writer knows
    };
    for (const auto& [bytes, charset] : broken) {
        std::vector<CsvRow> rows;
        std::string problem;
        EXPECT_FALSE(test_support::readCsvFile(bytes, charset, rows, problem)) << bytes;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(CsvReadBackTest, StrictUtf8TakesEveryCharacterAndNoFlaw) {
    std::u16string text;
    std::string problem;
    EXPECT_TRUE(
        test_support::decodeStrictUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", text, problem));
    EXPECT_EQ(text, u"a\u00E9\u20AC\U0001F600");
    for (const std::string bad :
         {"\x80", "\xF8\x88\x80\x80\x80", "\xF4\x90\x80\x80", "\xE0\x80\x80"}) {
        text.clear();
        EXPECT_FALSE(test_support::decodeStrictUtf8(bad, text, problem));
    }
}

}  // namespace
