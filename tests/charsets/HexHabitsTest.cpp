#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "charsets/HexHabits.h"

namespace {

// Values that phones send for names while their charset is UCS2.
TEST(HexHabits, TellsHexOf8BitTextFromUtf16) {
    const struct {
        const char* hex;
        bool eightBit;
        std::u16string text;  // what eightBitText gives, when eightBit
    } cases[] = {
        // 8-bit text ending in a NUL, whole UTF-16 groups or not.
        {"4B6C61757320486F6C7A20313200", true, u"Klaus Holz 12"},
        {"4D61727461204B6C65696E00", true, u"Marta Klein"},
        {"4A6F00", true, u"Jo"},
        // An odd number of bytes cannot be UTF-16.
        {"416E6E61204C65", true, u"Anna Le"},
        {"52E96E", true, u"R\u00E9n"},
        // Bytes that would be an unpaired surrogate in UTF-16.
        {"D8726E", true, u"\u00D8rn"},
        {"DC41", true, u"\u00DCA"},
        // UTF-16 of Latin text holds zero bytes: never 8-bit, NUL at the end or not.
        {"0041006E006E0061", false, u""},
        {"004A00F600720067", false, u""},
        {"004A006F0000", false, u""},
        // UTF-16 of other scripts, also where its last unit ends in a zero byte.
        {"4E2D6587", false, u""},
        {"041A0438043C", false, u""},
        {"C774AC00", false, u""},          // Korean: not ASCII before the NUL
        {"D83DDE00", false, u""},          // a surrogate pair
        {"68656C6C6F313233", false, u""},  // whole units, no NUL: may well be UTF-16
        {"313233343500", false, u""},      // no letter before the NUL
        // Not hex, control bytes, a lone NUL.
        {"", false, u""},
        {"00", false, u""},
        {"416E0A6E00", false, u""},
        {"4A6F6E61", false, u""},
        {"4G6F00", false, u""},
        {"4A6F0", false, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex_habits::spellsEightBitText(c.hex), c.eightBit) << c.hex;
        if (c.eightBit) {
            EXPECT_EQ(hex_habits::eightBitText(c.hex), c.text) << c.hex;
        }
    }
}

TEST(HexHabits, DecodesNumbersOnlyWhereEveryUnitDials) {
    const struct {
        const char* value;
        bool decoded;
        std::u16string number;
    } cases[] = {
        {"002B0034003900310037003000310032", true, u"+4917012"},
        {"002A0031003000300023", true, u"*100#"},
        {"0030003300300070003100320077003400350036002C0037", true, u"030p12w456,7"},
        {"00310032", true, u"12"},
        // A plain number that happens to be hex: its units do not dial.
        {"01701234567", false, u""},
        {"0170123456789012", false, u""},
        {"+4917012", false, u""},
        {"0031", false, u""},  // one unit: as likely a short number itself
        {"00410042", false, u""},
        {"003100320", false, u""},
        {"", false, u""},
    };
    for (const auto& c : cases) {
        std::u16string number = u"untouched";
        EXPECT_EQ(hex_habits::decodeNumber(c.value, number), c.decoded) << c.value;
        EXPECT_EQ(number, c.decoded ? c.number : u"untouched") << c.value;
    }
}

TEST(HexHabits, DecodesNameListsSentInTheUcs2Form) {
    using Items = std::vector<std::string>;
    Items items = {"00470053004D", "004900520041", "0038003800350039002D0031",
                   "005500540046002D0038", "0055004300530032"};
    ASSERT_TRUE(hex_habits::decodeNames(items));
    EXPECT_EQ(items, (Items{"GSM", "IRA", "8859-1", "UTF-8", "UCS2"}));
    ASSERT_TRUE(hex_habits::decodeNames(items = {"0053004D", "004D0045"}));
    EXPECT_EQ(items, (Items{"SM", "ME"}));

    // Plain lists, and lists with one item that is not ASCII in UCS2, are left as they are.
    for (const Items& plain : {Items{"IRA", "GSM", "UCS2"}, Items{"8859", "0041"},
                               Items{"0041", "004G"}, Items{"00410042", "000A"}, Items{}}) {
        items = plain;
        EXPECT_FALSE(hex_habits::decodeNames(items));
        EXPECT_EQ(items, plain);
    }
}

}  // namespace
