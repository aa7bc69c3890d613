#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CollectingSink.h"
#include "RecordingBuilder.h"
#include "charsets/TextCodec.h"
#include "export/ContactField.h"
#include "phonebook/CPBRCommand.h"
#include "phonebook/ContactBuilder.h"
#include "phonesim/Phone.h"
#include "phonesim/ScenarioParser.h"

namespace {

using namespace phonebook_test;
using Calls = std::vector<std::string>;
namespace kind = contact_kind;

// Reads an answer with a real builder and returns the contacts its sink received.
std::vector<ContactCopy> read(const std::u16string& charset, const std::string& answer,
                              PhoneMaker maker = PhoneMaker::Own) {
    ContactBuilder builder;
    CollectingSink sink;
    builder.addSink(&sink);
    RecordingBuilder checker(&builder, false);
    CPBRCommand(charset, maker).parse(answer, checker);
    EXPECT_EQ(checker.violations, Calls{});
    return sink.contacts;
}

Calls calls(const std::string& answer) {
    RecordingBuilder recorder;
    CPBRCommand(u"ASCII").parse(answer, recorder);
    EXPECT_EQ(recorder.violations, Calls{});
    return recorder.calls;
}

TEST(CPBRCommand, ComposesTheReadCommand) {
    const CPBRCommand command(u"UCS2");
    EXPECT_EQ(command.responseName(), "+CPBR");
    EXPECT_EQ(command.makeReadCommand("1,10"), "AT+CPBR=1,10");
}

TEST(CPBRCommand, ReadsARealAnswerOneContactPerLine) {
    const std::string answer =
        "AT+CPBR=1,10\r\r\n"
        "+CPBR: 5,\"+4930123456\",145,\"John Smith\"\r\n"
        "\r\n"
        "RING\r\n"
        "+CREG: 1\r\n"
        "+CPBR: 6,\"ann@example.org\",128,\"Ann\"\r\n"
        "+CPBS: \"ME\",3,500\r\n"
        "+CPBR: 9,\"0301\",129,\"Bob\",\"extra\",7\r\n"
        "\r\nOK\r\n";
    const auto contacts = read(u"ASCII", answer);
    ASSERT_EQ(contacts.size(), 3u);

    EXPECT_EQ(contacts[0].givenName, u"John Smith");  // the whole text, not split
    EXPECT_EQ(contacts[0].familyName, u"");
    EXPECT_EQ(contacts[0].phones,
              (std::map<std::int32_t, Texts>{{kind::MobilePhone, {u"+4930123456"}}}));
    EXPECT_TRUE(contacts[0].emails.empty());
    EXPECT_EQ(contacts[0].entryCount, 1);
    EXPECT_EQ(contacts[0].group, u"General");

    EXPECT_TRUE(contacts[1].phones.empty());
    EXPECT_EQ(contacts[1].emails,
              (std::map<std::int32_t, Texts>{{kind::OtherEmail, {u"ann@example.org"}}}));
    EXPECT_EQ(contacts[1].firstEmail, u"ann@example.org");

    EXPECT_EQ(contacts[2].givenName, u"Bob");
    EXPECT_EQ(contacts[2].phones.at(kind::MobilePhone), Texts{u"0301"});
    EXPECT_EQ(contacts[2].entryCount, 1);
    EXPECT_EQ(contacts[0].firstIndex, 5);
    EXPECT_EQ(contacts[1].firstIndex, 6);
    EXPECT_EQ(contacts[2].firstIndex, 9);
}

TEST(CPBRCommand, KeepsTheIndexOnlyWhenItIsAWholeNumber) {
    const struct {
        std::string value;
        std::optional<std::int64_t> index;
    } cases[] = {
        {"0", 0},
        {"007", 7},
        {"\"12\"", 12},
        {"\" 3 \"", 3},
        {"500", 500},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"1a", std::nullopt},
        {"0x10", std::nullopt},
        {"\"1 2\"", std::nullopt},
        {"1234567890123456789", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto contacts = read(u"ASCII", "+CPBR: " + c.value + ",\"1\",129,\"A\"\r\nOK\r\n");
        ASSERT_EQ(contacts.size(), 1u) << c.value;
        EXPECT_EQ(contacts[0].firstIndex, c.index) << c.value;
    }
}

TEST(CPBRCommand, HandsEachContactOnAtTheEndOfItsLine) {
    EXPECT_EQ(calls("+CPBR: 1,\"123\",129,\"Al\"\r\n+CPBR: 2,\"456\",128,\"Bo\"\r\nOK\r\n"),
              (Calls{"begin", "entry",  "push:3",   "push:3",  "value:123", "pop",
                     "pop",   "push:0", "value:Al", "pop",     "end",  //
                     "begin", "entry",  "push:4",   "push:14", "value:456", "pop",
                     "pop",   "push:0", "value:Bo", "pop",     "end"}));
}

TEST(CPBRCommand, DecodesTheTextInEachCharset) {
    // UCS2: quoted and unquoted text are both hexadecimal UTF-16, surrogate pairs included.
    auto contacts = read(u"UCS2",
                         "+CPBR: 1,\"+49\",145,\"004A00F6\"\r\n"
                         "+CPBR: 2,\"+48\",145,D83DDE000041\r\nOK\r\n");
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].givenName, u"J\u00F6");
    EXPECT_EQ(contacts[0].phones.at(kind::MobilePhone), Texts{u"+49"});  // numbers stay ASCII
    EXPECT_EQ(contacts[1].givenName, u"\U0001F600A");

    // UTF8: quoted text is UTF-8, unquoted text hexadecimal UTF-8 bytes.
    contacts = read(u"UTF8", "+CPBR: 1,\"1\",129,\"Jos\xC3\xA9\"\r\n+CPBR: 2,\"2\",129,4AC3A9\r\n");
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].givenName, u"Jos\u00E9");
    EXPECT_EQ(contacts[1].givenName, u"J\u00E9");

    contacts = read(u"ASCII", "+CPBR: 1,\"1\",129,\"Ann Lee\"\r\n");
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].givenName, u"Ann Lee");
}

TEST(CPBRCommand, NamesWithBracketsAndQuotesArriveWhole) {
    // Phones put names between double quotes as they are, unescaped.
    const std::string answer =
        "AT+CPBR=1,10\r\r\n"
        "+CPBR: 1,\"+491701\",145,\"Ann :)\"\r\n"
        "+CPBR: 2,\"0302\",129,\"(Work)\"\r\n"
        "+CPBR: 3,\"0303\",129,\"Bob (Work\"\r\n"
        "+CPBR: 4,\"0304\",129,\"a \"quoted\" nick\"\r\n"
        "+CPBR: 5,\"0305\",129,\"Eve) ,(x\"\r\n"
        "\r\nOK\r\n";
    for (const std::u16string charset : {u"ASCII", u"UTF8"}) {
        const auto contacts = read(charset, answer);
        ASSERT_EQ(contacts.size(), 5u);
        const Texts names = {u"Ann :)", u"(Work)", u"Bob (Work", u"a \"quoted\" nick", u"Eve) ,(x"};
        const Texts numbers = {u"+491701", u"0302", u"0303", u"0304", u"0305"};
        for (std::size_t i = 0; i < contacts.size(); ++i) {
            EXPECT_EQ(contacts[i].givenName, names[i]);
            EXPECT_EQ(contacts[i].phones,
                      (std::map<std::int32_t, Texts>{{kind::MobilePhone, {numbers[i]}}}));
        }
    }
    // In UCS2 the same names travel as hexadecimal text.
    const auto contacts = read(u"UCS2",
                               "+CPBR: 3,\"0303\",129,\"0042006F0062002000280057006F0072006B\"\r\n"
                               "+CPBR: 4,\"0304\",129,0041002000220071002200290028\r\nOK\r\n");
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].givenName, u"Bob (Work");
    EXPECT_EQ(contacts[1].givenName, u"A \"q\")(");
}

TEST(CPBRCommand, ErrorAnswersGiveOnlyTheContactsOfTheirLines) {
    EXPECT_EQ(calls("AT+CPBR=1,10\r\r\nERROR\r\n"), Calls{});
    EXPECT_EQ(calls("\r\n+CME ERROR: 21\r\n"), Calls{});
    EXPECT_EQ(read(u"ASCII", "+CPBR: 1,\"1\",129,\"A\"\r\n\r\nERROR\r\n").size(), 1u);
}

TEST(CPBRCommand, ShortLinesStillEndTheirContact) {
    // The number is only stored once its type arrives.
    EXPECT_EQ(calls("+CPBR: 3,\"123\"\r\n"), (Calls{"begin", "entry", "end"}));
    // A non-numeric type reads as 0: a phone number.
    const auto contacts = read(u"ASCII", "+CPBR: 4,\"77\",\"x\",\"N\"\r\n");
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones.at(kind::MobilePhone), Texts{u"77"});
}

TEST(CPBRCommand, LinesWithoutValuesStartAndEndNoContact) {
    EXPECT_EQ(calls("+CPBR:\r\n+CPBR: \r\nOK\r\n"), Calls{});
    // After a contact: that contact is handed on once only.
    EXPECT_EQ(calls("+CPBR: 1\r\n+CPBR:\r\n+CPBR: 2\r\n"),
              (Calls{"begin", "entry", "end", "begin", "entry", "end"}));
}

// Lines in the shapes other makers' phones send; the maker's phones read them as they always
// have, but for the NULs that end a name and the control characters in a number.
TEST(CPBRCommand, MendsTheHabitsOfOtherMakersPhones) {
    struct Reading {
        std::u16string name, number;
    };
    const struct {
        const char* what;
        std::u16string charset;
        std::string line;
        Reading other, own;
    } cases[] = {
        {"8-bit text in hex, ending in a NUL",
         u"UCS2",
         "+CPBR: 7,\"0301234567\",129,4B6C61757320486F6C7A20313200",
         {u"Klaus Holz 12", u"0301234567"},
         {u"\u4B6C\u6175\u7320\u486F\u6C7A\u2031\u3200", u"0301234567"}},
        {"8-bit text in hex, an odd number of bytes",
         u"UCS2",
         "+CPBR: 8,\"0409\",129,\"5065746572204B\"",
         {u"Peter K", u"0409"},
         {u"\u5065\u7465\u7220", u"0409"}},
        {"UTF-16 padded with blanks",
         u"UCS2",
         "+CPBR: 1,\"0711\",129,\"00420065006E0020002000200020\"",
         {u"Ben", u"0711"},
         {u"Ben    ", u"0711"}},
        {"hex digits padded with blanks",
         u"UCS2",
         "+CPBR: 2,\"0712\",129,\"0049006C00730065    \"",
         {u"Ilse", u"0712"},
         {u"Ilse\uFFFF", u"0712"}},
        {"UTF-16 ending in NULs",
         u"UCS2",
         "+CPBR: 3,\"0713\",129,004D0061007800000000",
         {u"Max", u"0713"},
         {u"Max", u"0713"}},
        {"Korean, whose last unit ends in a zero byte",
         u"UCS2",
         "+CPBR: 4,\"0714\",129,\"C774AC00\"",
         {u"\uC774\uAC00", u"0714"},
         {u"\uC774\uAC00", u"0714"}},
        {"a number in the UCS2 form",
         u"UCS2",
         "+CPBR: 5,\"002B003400340037003700300030003100320033\",145,\"004C0065006E0061\"",
         {u"Lena", u"+447700123"},
         {u"Lena", u"002B003400340037003700300030003100320033"}},
        {"a plain number in UCS2 that does not dial as hex",
         u"UCS2",
         "+CPBR: 6,\"01761234\",129,\"004F006C0065\"",
         {u"Ole", u"01761234"},
         {u"Ole", u"01761234"}},
        {"control bytes in a number",
         u"IRA",
         "+CPBR: 9,\"\x0E\x04"
         "0221 555\x01\",129,\"Shop\",0",
         {u"Shop", u"0221 555"},
         {u"Shop", u"0221 555"}},
        {"GSM text padded with blanks",
         u"GSM",
         "+CPBR: 10,\"+33612345\",145,\"J\x7Ergen Gr\x7En \x1B\x65   \"",
         {u"J\u00FCrgen Gr\u00FCn \u20AC", u"+33612345"},
         {u"J\u00FCrgen Gr\u00FCn \u20AC   ", u"+33612345"}},
        {"8859-1 text",
         u"8859-1",
         "+CPBR: 11,\"0612\",129,\"Ren\xE9"
         "e Lef\xE8vre\"",
         {u"Ren\u00E9e Lef\u00E8vre", u"0612"},
         {u"Ren\u00E9e Lef\u00E8vre", u"0612"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string answer = "AT+CPBR=1,10\r\r\n" + c.line + "\r\n\r\nOK\r\n";
        for (const PhoneMaker maker : {PhoneMaker::Other, PhoneMaker::Own}) {
            const Reading& expected = maker == PhoneMaker::Other ? c.other : c.own;
            const auto contacts = read(c.charset, answer, maker);
            ASSERT_EQ(contacts.size(), 1u);
            EXPECT_EQ(contacts[0].givenName, expected.name);
            EXPECT_EQ(contacts[0].phones.begin()->second, Texts{expected.number});
        }
    }
}

// What a simulated phone of another maker sends in each charset reads back as its names, with
// '?' for each character the charset cannot hold.
TEST(CPBRCommand, ReadsOtherMakersCharsetsAsTheSimulatedPhoneSendsThem) {
    const auto parsed = phonesim::ScenarioParser::parse(
        "[phone]\ncharsets = UCS2, UTF-8, 8859-1, GSM, IRA\n[storage SM]\nrange = 1-10\n"
        "[contact SM 1]\nname = Zo\u00EB \u00C5ngstr\u00F6m\nphone.mobile = +46701234\n"
        "[contact SM 2]\nname = J\u00FCrgen [\u20AC] \u00D8 @ \u00D1and\u00FA\nphone.mobile = "
        "0301\n"
        "[contact SM 3]\nname = \u738B\u82B3 Stra\u00DFe\nphone.mobile = 0302\n",
        "other-maker.scn");
    ASSERT_TRUE(parsed) << parsed.error;
    const struct {
        const char* charset;
        Texts names;
    } cases[] = {
        {"UCS2",
         {u"Zo\u00EB \u00C5ngstr\u00F6m", u"J\u00FCrgen [\u20AC] \u00D8 @ \u00D1and\u00FA",
          u"\u738B\u82B3 Stra\u00DFe"}},
        {"UTF-8",
         {u"Zo\u00EB \u00C5ngstr\u00F6m", u"J\u00FCrgen [\u20AC] \u00D8 @ \u00D1and\u00FA",
          u"\u738B\u82B3 Stra\u00DFe"}},
        {"8859-1",
         {u"Zo\u00EB \u00C5ngstr\u00F6m", u"J\u00FCrgen [?] \u00D8 @ \u00D1and\u00FA",
          u"?? Stra\u00DFe"}},
        {"GSM",
         {u"Zo? \u00C5ngstr\u00F6m", u"J\u00FCrgen [\u20AC] \u00D8 @ \u00D1and?",
          u"?? Stra\u00DFe"}},
        {"IRA", {u"Zo? ?ngstr?m", u"J?rgen [?] ? @ ?and?", u"?? Stra?e"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charset);
        phonesim::Phone phone(*parsed.scenario);
        phone.handle(std::string("AT+CSCS=\"") + c.charset + "\"");
        const std::u16string charset = text_codec::fromUtf8(c.charset);
        const auto contacts = read(charset, phone.handle("AT+CPBR=1,10").answer, PhoneMaker::Other);
        ASSERT_EQ(contacts.size(), 3u);
        for (std::size_t i = 0; i < contacts.size(); ++i)
            EXPECT_EQ(contacts[i].givenName, c.names[i]);
        EXPECT_EQ(contacts[0].phones.at(kind::MobilePhone), Texts{u"+46701234"});
    }
}

TEST(CPBRCommand, ExceptionsOfTheSinksPassThrough) {
    struct Refusing : IContactBuilderSink {
        void onContact(const IContact&) override { throw std::runtime_error("disk full"); }
    } sink;
    ContactBuilder builder;
    builder.addSink(&sink);
    EXPECT_THROW(CPBRCommand(u"ASCII").parse("+CPBR: 1,\"1\",129,\"A\"\r\nOK\r\n", builder),
                 std::runtime_error);
}

}  // namespace
