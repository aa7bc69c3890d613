#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CollectingSink.h"
#include "MpbreLine.h"
#include "RecordingBuilder.h"
#include "export/ContactField.h"
#include "phonebook/ContactBuilder.h"
#include "phonebook/MPBRERequest.h"
#include "phonebook/MPGRStateMachine.h"
#include "serial_comm/ResponseParser.h"

namespace {

using namespace phonebook_test;
using Calls = std::vector<std::string>;
using ByKind = std::map<std::int32_t, Texts>;
namespace kind = contact_kind;

struct Reading {
    std::u16string charset = u"ASCII";
    const GroupTable* groups = nullptr;
    bool isSim = false;
};

std::string answerOf(const std::vector<MpbreLine>& lines, const std::string& result = "OK") {
    std::string answer = "AT+MPBRE=1,10\r\r\n";
    for (const MpbreLine& line : lines)
        answer += line.text();
    return answer + (result.empty() ? "" : "\r\n" + result + "\r\n");
}

std::vector<ContactCopy> readAnswer(const std::string& answer, const Reading& how = {}) {
    ContactBuilder builder;
    CollectingSink sink;
    builder.addSink(&sink);
    RecordingBuilder checker(&builder, false);
    MPBRERequest(how.charset, how.groups, how.isSim).parse(answer, checker);
    EXPECT_EQ(checker.violations, Calls{});
    return sink.contacts;
}

std::vector<ContactCopy> read(const std::vector<MpbreLine>& lines, const Reading& how = {}) {
    return readAnswer(answerOf(lines), how);
}

TEST(MPBRERequest, ComposesTheReadCommand) {
    const GroupTable groups;
    const MPBRERequest request(u"UCS2", &groups, false);
    EXPECT_EQ(request.responseName(), "+MPBRE");
    EXPECT_EQ(request.makeReadCommand("11,20"), "AT+MPBRE=11,20");
}

TEST(MPBRERequest, MergesTheLinesOfOneIndex) {
    const std::string answer =
        "AT+MPBRE=1,10\r\r\n" +
        MpbreLine{.index = "7", .number = "\"111\"", .name = "\"JohnSmith\"", .nameLength = "4"}
            .text() +
        "\r\nRING\r\n+CREG: 1\r\n+CPBR: 9,\"999\",129,\"X\"\r\n" +
        MpbreLine{.index = "7",
                  .number = "\"333\"",
                  .name = "\"Other\"",
                  .type = "3",
                  .nameLength = "2",
                  .additionalName = "\"Q\""}
            .text() +
        MpbreLine{.index = "8", .number = "\"888\"", .name = "\"Ann\"", .nameLength = "3"}.text() +
        "\r\nOK\r\n";
    const auto contacts = readAnswer(answer);
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].phones,
              (ByKind{{kind::HomePhone, {u"111"}}, {kind::MobilePhone, {u"333"}}}));
    EXPECT_EQ(contacts[0].entryCount, 2);
    // The contact's own fields come from its first line only.
    EXPECT_EQ(contacts[0].givenName, u"John");
    EXPECT_EQ(contacts[0].familyName, u"Smith");
    EXPECT_EQ(contacts[0].additionalName, u"");
    EXPECT_EQ(contacts[1].phones, (ByKind{{kind::HomePhone, {u"888"}}}));
    EXPECT_EQ(contacts[1].givenName, u"Ann");
    EXPECT_EQ(contacts[1].entryCount, 1);
    EXPECT_EQ(contacts[0].firstIndex, 7);
    EXPECT_EQ(contacts[1].firstIndex, 8);
}

TEST(MPBRERequest, AnIndexThatComesBackStartsAnotherContact) {
    const auto contacts = read({{.index = "7"}, {.index = "8"}, {.index = "7"}});
    ASSERT_EQ(contacts.size(), 3u);
    EXPECT_EQ(contacts[2].firstIndex, 7);
}

TEST(MPBRERequest, KeepsTheOrderOfValuesWithinAKindAndAcrossEmailKinds) {
    const auto contacts = read({{.index = "4", .number = "\"a\"", .type = "3"},
                                {.index = "4", .number = "\"b\"", .type = "3"},
                                {.index = "4", .number = "\"c\"", .type = "3"},
                                {.index = "4", .number = "\"h1@x\"", .type = "12"},
                                {.index = "4", .number = "\"o@x\"", .type = "6"},
                                {.index = "4", .number = "\"h2@x\"", .type = "12"}});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones.at(kind::MobilePhone), (Texts{u"b", u"c", u"a"}));
    EXPECT_EQ(contacts[0].emails.at(kind::HomeEmail), (Texts{u"h2@x", u"h1@x"}));
    EXPECT_EQ(contacts[0].firstEmail, u"o@x");
    EXPECT_EQ(contacts[0].entryCount, 6);
}

TEST(MPBRERequest, FilesEachEntryTypeUnderItsField) {
    const auto contacts = read({{.index = "1", .number = "\"w\"", .type = "0"},
                                {.index = "1", .number = "\"o\"", .type = "11"},
                                {.index = "1", .number = "\"e\"", .type = "7"},
                                {.index = "1", .number = "\"home street\"", .type = "15"},
                                {.index = "1", .number = "\"http://a.example\"", .type = "18"},
                                {.index = "1", .number = "\"http://b.example\"", .type = "19"},
                                {.index = "1", .number = "\"lost\"", .type = "25"},
                                {.index = "1", .number = "\"lost\"", .type = "-1"},
                                {.index = "1", .number = "\"zero\"", .type = "\"x\""},
                                {.index = "2", .number = "\"lost\"", .type = "20"}});
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].phones,
              (ByKind{{kind::WorkPhone, {u"zero", u"w"}}, {kind::OtherPhone4, {u"o"}}}));
    EXPECT_EQ(contacts[0].emails, (ByKind{{kind::PlainEmail, {u"e"}}}));
    EXPECT_EQ(contacts[0].addresses, (ByKind{{kind::HomeAddress, {u"home street"}}}));
    EXPECT_EQ(contacts[0].websites, (Texts{u"http://a.example", u"http://b.example"}));
    EXPECT_EQ(contacts[0].entryCount, 4);  // addresses, web addresses and unknown types not counted
    // An unknown type stores nothing, but its line still makes a contact.
    EXPECT_TRUE(contacts[1].phones.empty() && contacts[1].emails.empty() &&
                contacts[1].addresses.empty() && contacts[1].websites.empty());
    EXPECT_EQ(contacts[1].entryCount, 0);
}

TEST(MPBRERequest, TheSimFilesEveryPhoneNumberAsMobile) {
    const std::vector<MpbreLine> lines = {{.index = "1", .number = "\"1\"", .type = "1"},
                                          {.index = "1", .number = "\"4\"", .type = "4"},
                                          {.index = "1", .number = "\"m@x\"", .type = "12"},
                                          {.index = "1", .number = "\"st\"", .type = "16"}};
    auto contacts = read(lines, {.isSim = true});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones, (ByKind{{kind::MobilePhone, {u"4", u"1"}}}));
    EXPECT_EQ(contacts[0].emails, (ByKind{{kind::HomeEmail, {u"m@x"}}}));
    EXPECT_EQ(contacts[0].addresses, (ByKind{{kind::WorkAddress, {u"st"}}}));

    contacts = read(lines, {.isSim = false});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones, (ByKind{{kind::HomePhone, {u"1"}}, {kind::FaxPhone, {u"4"}}}));
}

TEST(MPBRERequest, SplitsTheNameByTheGivenNameLength) {
    const struct {
        std::string name, length;
        std::u16string given, family;
    } cases[] = {
        {"\"JohnSmith\"", "4", u"John", u"Smith"},
        {"\"JohnSmith\"", "0", u"", u"JohnSmith"},
        {"\"JohnSmith\"", "9", u"JohnSmith", u""},
        {"\"JohnSmith\"", "50", u"JohnSmith", u""},
        {"\"JohnSmith\"", "-3", u"JohnSmith", u""},
        {"\"JohnSmith\"", "99999999999999999999", u"JohnSmith", u""},
        {"\"JohnSmith\"", "\"x\"", u"", u"JohnSmith"},
        {"\"Ann  Lee\"", "3", u"Ann", u"  Lee"},  // the family name keeps its leading spaces
    };
    for (const auto& c : cases) {
        const auto contacts = read({{.name = c.name, .nameLength = c.length}});
        ASSERT_EQ(contacts.size(), 1u);
        EXPECT_EQ(contacts[0].givenName, c.given) << c.name << " " << c.length;
        EXPECT_EQ(contacts[0].familyName, c.family) << c.name << " " << c.length;
    }
    // Without its length value the name reaches no name field.
    const auto contacts = read({{.name = "\"JohnSmith\"", .cut = 13}});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].givenName + contacts[0].familyName, u"");
}

TEST(MPBRERequest, NeverCutsASurrogatePairInTwo) {
    const auto contacts =
        read({{.name = "\"D83DDE000042006F\"", .nameLength = "1"}}, {.charset = u"UCS2"});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].givenName, u"\U0001F600");
    EXPECT_EQ(contacts[0].familyName, u"Bo");
}

TEST(MPBRERequest, JoinsTheSixAddressParts) {
    auto contacts =
        read({{.index = "1", .address = {"\"A\"", "\"\"", "\"C\"", "\"\"", "\"\"", "\"F\""}},
              {.index = "2"},
              {.index = "3", .address = {"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"F\""}},
              {.index = "4",
               .address = {"\"A\"", "\"B\"", "\"C\"", "\"D\"", "\"E\"", "\"F\""},
               .cut = 22},
              {.index = "4", .address = {"\"A\"", "\"B\"", "\"C\"", "\"D\"", "\"E\"", "\"F\""}}});
    ASSERT_EQ(contacts.size(), 4u);
    EXPECT_EQ(contacts[0].addresses, (ByKind{{kind::OtherAddress, {u"A;|;;|;C;|;;|;;|;F"}}}));
    EXPECT_TRUE(contacts[1].addresses.empty());  // six empty parts
    EXPECT_EQ(contacts[2].addresses, (ByKind{{kind::OtherAddress, {u";|;;|;;|;;|;;|;F"}}}));
    // A line cut before the last part stores none, and a further line of the index adds none.
    EXPECT_TRUE(contacts[3].addresses.empty());
}

TEST(MPBRERequest, DecodesNumbersAndTextsByCharset) {
    const std::vector<MpbreLine> ucs2 = {
        {.index = "1",
         .number = "\"+4930\"",
         .name = "\"004A00F6\"",
         .nameLength = "9",
         .address = {"0053", "\"\"", "\"\"", "\"\"", "\"\"", "\"00DF\""},
         .additionalName = "0051",
         .birthday = "\"19800101\""},
        {.index = "1", .number = "002B0034", .type = "3"}};
    auto contacts = read(ucs2, {.charset = u"UCS2"});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones,
              (ByKind{{kind::HomePhone, {u"+4930"}}, {kind::MobilePhone, {u"+4"}}}));
    EXPECT_EQ(contacts[0].givenName, u"J\u00F6");
    EXPECT_EQ(contacts[0].addresses.at(kind::OtherAddress), Texts{u"S;|;;|;;|;;|;;|;\u00DF"});
    EXPECT_EQ(contacts[0].additionalName, u"Q");
    EXPECT_EQ(contacts[0].birthday, u"19800101");

    const std::vector<MpbreLine> utf8 = {{.index = "1",
                                          .number = "\"+49\"",
                                          .name = "\"Jos\xC3\xA9\"",
                                          .nameLength = "9",
                                          .additionalName = "4AC3A9",
                                          .birthday = "\"1980-01-01\""},
                                         {.index = "1", .number = "2B3438", .type = "3"}};
    contacts = read(utf8, {.charset = u"UTF8"});
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].phones,
              (ByKind{{kind::HomePhone, {u"+49"}}, {kind::MobilePhone, {u"+48"}}}));
    EXPECT_EQ(contacts[0].givenName, u"Jos\u00E9");
    EXPECT_EQ(contacts[0].additionalName, u"J\u00E9");
    EXPECT_EQ(contacts[0].birthday, u"1980-01-01");
}

TEST(MPBRERequest, NamesWithBracketsAndQuotesKeepEveryValueInPlace) {
    // Quoted text in UTF8 or ASCII is sent unescaped: the values after such a name must still
    // be found at their places.
    const std::vector<MpbreLine> lines = {
        {.index = "1",
         .number = "\"+4917\"",
         .name = "\"Ann :)\"",
         .type = "3",
         .group = "1",
         .nameLength = "6",
         .additionalName = "\"(A)\""},
        {.index = "1",
         .number = "\"+4930\"",
         .name = "\"Ann :)\"",
         .type = "1",
         .group = "1",
         .nameLength = "6"},
        {.index = "2",
         .number = "\"0301\"",
         .name = "\"BobWork (x\"",
         .type = "0",
         .nameLength = "3",
         .address = {"\"Main St (rear\"", "\"\"", "\"Town)\"", "\"\"", "\"\"", "\"\""}},
        {.index = "3",
         .number = "\"0302\"",
         .name = "\"a \"quoted\" nick\"",
         .type = "3",
         .nameLength = "16",
         .birthday = "\"1-2-2003\""}};
    const GroupTable groups{{1, u"Friends"}};
    for (const std::u16string charset : {u"UTF8", u"ASCII"}) {
        const auto contacts = read(lines, {.charset = charset, .groups = &groups});
        ASSERT_EQ(contacts.size(), 3u);
        EXPECT_EQ(contacts[0].givenName, u"Ann :)");
        EXPECT_EQ(contacts[0].phones,
                  (ByKind{{kind::MobilePhone, {u"+4917"}}, {kind::HomePhone, {u"+4930"}}}));
        EXPECT_EQ(contacts[0].group, u"Friends");
        EXPECT_EQ(contacts[0].additionalName, u"(A)");
        EXPECT_EQ(contacts[0].entryCount, 2);
        EXPECT_EQ(contacts[1].givenName, u"Bob");
        EXPECT_EQ(contacts[1].familyName, u"Work (x");
        EXPECT_EQ(contacts[1].phones, (ByKind{{kind::WorkPhone, {u"0301"}}}));
        EXPECT_EQ(contacts[1].addresses,
                  (ByKind{{kind::OtherAddress, {u"Main St (rear;|;;|;Town);|;;|;;|;"}}}));
        EXPECT_EQ(contacts[2].givenName, u"a \"quoted\" nick");
        EXPECT_EQ(contacts[2].phones, (ByKind{{kind::MobilePhone, {u"0302"}}}));
        EXPECT_EQ(contacts[2].birthday, u"1-2-2003");
    }
}

TEST(MPBRERequest, TheResultLineFinishesTheLastContact) {
    EXPECT_EQ(
        readAnswer(answerOf({{.index = "7"}, {.index = "7"}, {.index = "8"}}, "ERROR")).size(), 2u);
    EXPECT_EQ(readAnswer("AT+MPBRE=1,10\r\r\nERROR\r\n").size(), 0u);
    // Cut off before its result line: the last contact stays unfinished.
    RecordingBuilder recorder;
    MPBRERequest(u"ASCII", nullptr, false)
        .parse(answerOf({{.index = "7"}, {.index = "7"}, {.index = "8", .cut = 6}}, ""), recorder);
    EXPECT_EQ(recorder.violations, Calls{});
    EXPECT_EQ(recorder.begins, 2);
    EXPECT_EQ(recorder.ends, 1);
}

TEST(MPBRERequest, LinesWithoutAnIndexBelongToNoContact) {
    RecordingBuilder recorder;
    MPBRERequest(u"ASCII", nullptr, false)
        .parse(answerOf({{.index = "", .number = "\"1\"", .name = "\"X\"", .nameLength = "1"},
                         {.index = "5", .number = "\"5\"", .type = "3"}}),
               recorder);
    EXPECT_EQ(recorder.violations, Calls{});
    ASSERT_FALSE(recorder.calls.empty());
    EXPECT_EQ(recorder.calls.front(), "begin");

    const auto contacts = read({{.index = ""},
                                {.index = "5", .number = "\"5\""},
                                {.index = "", .number = "\"lost\""},
                                {.index = "6", .number = "\"6\""}});
    ASSERT_EQ(contacts.size(), 2u);
    EXPECT_EQ(contacts[0].phones, (ByKind{{kind::HomePhone, {u"5"}}}));
    EXPECT_EQ(contacts[1].phones, (ByKind{{kind::HomePhone, {u"6"}}}));
}

TEST(MPGRStateMachine, ReadsGroupNamesAndTheEntriesFindThem) {
    GroupTable groups;
    MPGRStateMachine groupReader(groups, u"ASCII");
    serial_comm::parseResponse(groupReader,
                               "AT+MPGR=1,5\r\r\n+MPGR: 1,\"Family\"\r\n+MPGR: 2,\"Work\"\r\n"
                               "+MPBRE: 3,\"x\"\r\n+MPGR: 2,\"Office\",7\r\n+MPGR: 5\r\n\r\nOK\r\n",
                               "+MPGR");
    EXPECT_EQ(groups, (GroupTable{{1, u"Family"}, {2, u"Office"}}));

    const auto contacts = read({{.index = "1", .group = "2"},
                                {.index = "2", .group = "9"},
                                {.index = "3", .group = ""},
                                {.index = "4", .group = "1"},
                                {.index = "4", .group = "2"}},
                               {.groups = &groups});
    ASSERT_EQ(contacts.size(), 4u);
    EXPECT_EQ(contacts[0].group, u"Office");
    EXPECT_EQ(contacts[1].group, u"General");  // not in the table
    EXPECT_EQ(contacts[2].group, u"General");
    EXPECT_EQ(contacts[3].group, u"Family");  // the further line's group is not used
}

TEST(MPGRStateMachine, DecodesNamesInTheCharset) {
    GroupTable groups{{0, u"old"}};
    MPGRStateMachine groupReader(groups, u"UCS2");
    serial_comm::parseResponse(
        groupReader, "+MPGR: 3,\"0046\"\r\n+MPGR: 4,D83DDE00\r\n+MPGR: x,\"0041\"\r\n", "+MPGR");
    EXPECT_EQ(groups, (GroupTable{{0, u"A"}, {3, u"F"}, {4, u"\U0001F600"}}));
}

}  // namespace
