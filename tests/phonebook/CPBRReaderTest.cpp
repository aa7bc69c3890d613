#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CollectingSink.h"
#include "RecordingBuilder.h"
#include "export/ContactField.h"
#include "phonebook/CPBRCommand.h"
#include "phonebook/ContactBuilder.h"

namespace {

using namespace phonebook_test;
using Calls = std::vector<std::string>;
namespace kind = contact_kind;

// Reads an answer with a real builder and returns the contacts its sink received.
std::vector<ContactCopy> read(const std::u16string& charset, const std::string& answer) {
    ContactBuilder builder;
    CollectingSink sink;
    builder.addSink(&sink);
    RecordingBuilder checker(&builder, false);
    CPBRCommand(charset).parse(answer, checker);
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
