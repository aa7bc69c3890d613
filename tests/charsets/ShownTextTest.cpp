#include <gtest/gtest.h>

#include <string>

#include "charsets/ShownText.h"

namespace {

TEST(ShownText, ControlCharactersAndStrayBytesBecomeVisible) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"contacts.csv", "contacts.csv"},
        {"a\nb.csv", "a\\nb.csv"},
        {"Z3\r\t", "Z3\\r\\t"},
        {"\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"del\x7f", "del\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"M\xC3\xBCller \xE9\x99\x88 \xF0\x9F\x98\x80",
         "M\xC3\xBCller \xE9\x99\x88 \xF0\x9F\x98\x80"},
        {"c1\xC2\x9B"
         "31m",
         "c1\\u009b31m"},                                 // the one-byte CSI, in UTF-8
        {"rtl\xE2\x80\xAEgpj.exe", "rtl\\u202egpj.exe"},  // a direction override
        {"line\xE2\x80\xA8sep", "line\\u2028sep"},
        {"bad\xFF\xC3", "bad\\xff\\xc3"},           // not UTF-8, and cut short
        {"over\xC0\xAF", "over\\xc0\\xaf"},         // an overlong form
        {"sur\xED\xA0\x80", "sur\\xed\\xa0\\x80"},  // an encoded surrogate
        {"cut\xE2\x82"
         "A",
         "cut\\xe2\\x82A"},  // a sequence cut short by a character of its own
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shownText(c.in), c.out) << c.out;
    }
}

}  // namespace
