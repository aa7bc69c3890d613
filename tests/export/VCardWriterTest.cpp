#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "CsvFiles.h"
#include "VCardReadBack.h"
#include "export/CSVExportManager.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/ContactUids.h"
#include "export/OutputFormat.h"
#include "export/PhoneBirthday.h"

namespace {

using namespace csv_test;
namespace kind = contact_kind;
namespace fs = std::filesystem;
using test_support::readFileBytes;
using test_support::TempDir;

const std::u16string kImei = u"351234567890123";

// The file an export of these contacts writes in the vCard layout.
std::string vcardFile(const std::vector<Contact>& contacts, const std::u16string& imei = kImei,
                      std::int32_t outputCharset = 1) {
    TempDir dir;
    const auto path = dir.file("contacts.vcf");
    {
        CSVExportManager manager(OutputFormat::VCard, u16(path), outputCharset, imei);
        for (const Contact& contact : contacts) {
            manager.writeContact(contact);
        }
    }
    return readFileBytes(path);
}

std::string card(const std::vector<std::string>& lines) {
    std::string text = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text + "END:VCARD\r\n";
}

Contact at(std::int32_t storage, std::int64_t index) {
    Contact contact;
    contact.setStorage(static_cast<StorageKind>(storage));
    contact.setFirstIndex(index);
    return contact;
}

// The UID lines of a file, in order.
std::vector<std::string> uidsOf(const std::string& file) {
    std::vector<std::string> uids;
    for (std::size_t at = file.find("\r\nUID:"); at != std::string::npos;
         at = file.find("\r\nUID:", at + 1)) {
        uids.push_back(file.substr(at + 6, 36));
    }
    return uids;
}

bool isRandomUuid(const std::string& uid) {
    return uid.size() == 36 && uid[8] == '-' && uid[13] == '-' && uid[14] == '4' &&
           uid[18] == '-' && uid[23] == '-' &&
           uid.find_first_not_of("0123456789abcdef-") == std::string::npos;
}

TEST(VCardWriter, EveryKindOfValueInItsProperty) {
    Contact contact = at(1, 7);
    contact.setText(ContactField::GivenName, u"Anna");
    contact.setText(ContactField::FamilyName, u"Müller");
    contact.setText(ContactField::AdditionalName, u"Marie");
    contact.setText(ContactField::Birthday, u"3-14-1985");
    contact.setText(ContactField::Group, u"Family");
    contact.addPhone(kind::MobilePhone, u"+49170");
    contact.addPhone(kind::MobilePhone, u"+49171");
    contact.addPhone(kind::OtherPhone4, u"+49311");
    contact.addPhone(kind::WorkPhone, u"+49891");
    contact.addPhone(kind::HomePhone, u"+49301");
    contact.addPhone(kind::MainPhone, u"+49302");
    contact.addPhone(kind::FaxPhone, u"+49899");
    contact.addPhone(kind::PagerPhone, u"+49177");
    contact.addPhone(kind::OtherPhone1, u"+49308");
    contact.addEmail(kind::OtherEmail, u"other@example.net");
    contact.addEmail(kind::WorkEmail, u"a.mueller@example.de");
    contact.addEmail(kind::HomeEmail, u"anna@example.com");
    contact.addEmail(kind::PlainEmail, u"plain@example.org");
    contact.addEmail(kind::ExtraOtherEmail, u"x@example.org");
    contact.addAddress(kind::HomeAddress, u"Hauptstraße 5;|;;|;Berlin;|;;|;10115;|;Deutschland");
    contact.addAddress(kind::WorkAddress,
                       u"12 rue de la Paix;|;Bâtiment B;|;Paris;|;Île-de-France;|;75002;|;France");
    contact.addAddress(kind::OtherAddress, u"8 place Bellecour, 69002 Lyon");
    contact.addWebsite(u"https://example.org/anna");
    contact.addEntry();

    const std::string file = vcardFile({contact});
    EXPECT_EQ(
        file,
        card({"N:Müller;Anna;Marie;;", "FN:Anna Müller", "TEL;TYPE=WORK,VOICE:+49891",
              "TEL;TYPE=HOME,VOICE:+49301", "TEL;TYPE=PREF,VOICE:+49302", "TEL;TYPE=CELL:+49171",
              "TEL;TYPE=CELL:+49170", "TEL;TYPE=FAX:+49899", "TEL;TYPE=PAGER:+49177",
              "TEL;TYPE=VOICE:+49308", "TEL;TYPE=VOICE:+49311", "EMAIL;TYPE=INTERNET:x@example.org",
              "EMAIL;TYPE=INTERNET:plain@example.org", "EMAIL;TYPE=INTERNET,HOME:anna@example.com",
              "EMAIL;TYPE=INTERNET,WORK:a.mueller@example.de",
              "EMAIL;TYPE=INTERNET:other@example.net",
              "ADR;TYPE=HOME:;;Hauptstraße 5;Berlin;;10115;Deutschland",
              "ADR;TYPE=WORK:;Bâtiment B;12 rue de la Paix;Paris;Île-de-France;75002;"
              "Fra\r\n nce",
              "ADR:;;8 place Bellecour\\, 69002 Lyon;;;;", "URL:https://example.org/anna",
              "BDAY:1985-03-14", "CATEGORIES:Family",
              // The name-based UUID of "351234567890123/1/7": it must never change.
              "UID:8941ba39-841c-57e0-bd91-0f227e2c0d61"}));
    // The same bytes whatever the export's charset: always UTF-8, never a byte-order mark.
    EXPECT_EQ(vcardFile({contact}, kImei, 0), file);
    EXPECT_EQ(vcardFile({contact}, kImei, 2), file);
    EXPECT_EQ(file.find("351234567890123"), std::string::npos) << "the IMEI is in the file";
}

TEST(VCardWriter, EscapesTextAndLeavesOutControlCharacters) {
    Contact contact = at(1, 8);
    contact.setText(ContactField::GivenName, u"Smith, Jr.; a\\b");
    contact.setText(ContactField::FamilyName, u"one\r\ntwo\rthree\nfour\x01\x1B\x7F\tfive");
    contact.setText(ContactField::Group, u"Sport, club");
    // Two halves of a pair with a control character between them stay two halves.
    contact.setText(ContactField::AdditionalName, std::u16string(u"x\xD83D\x01\xDE00y"));
    contact.addPhone(kind::MobilePhone, u"0301234,,56;7");
    contact.addPhone(kind::HomePhone, u"\x02");  // nothing left: no TEL
    contact.addWebsite(u"https://example.org/a,b;c");
    contact.addAddress(kind::HomeAddress, u";|;;|;;|;;|;;|;");  // all parts empty: no ADR
    EXPECT_EQ(
        vcardFile({contact}),
        card(
            {"N:one\\ntwo\\nthree\\nfour\tfive;Smith\\, Jr.\\; a\\\\b;x\xEF\xBF\xBD\xEF\xBF\xBDy;;",
             "FN:Smith\\, Jr.\\; a\\\\b one\\ntwo\\nthree\\nfour\tfive",
             "TEL;TYPE=CELL:0301234\\,\\,56\\;7", "URL:https://example.org/a\\,b\\;c",
             "CATEGORIES:Sport\\, club", "UID:9d662a51-77a5-514a-adc1-479018d9d78c"}));
}

TEST(VCardWriter, FoldsLongLinesBetweenCharactersAndEscapes) {
    // 2-octet letters: after "FN:a" and 35 of them the line holds 74 octets, and the 36th
    // would end at 76, so the fold comes before it.
    std::u16string umlauts = u"a";
    for (int i = 0; i < 40; ++i) {
        umlauts += u"ä";
    }
    std::string first;
    for (int i = 0; i < 35; ++i) {
        first += "ä";
    }
    Contact twoOctets = at(1, 1);
    twoOctets.setText(ContactField::GivenName, umlauts);
    // 4-octet emoji: "FN:" and 18 of them are exactly 75 octets; a continuation line holds the
    // blank and at most 74 octets more.
    std::u16string emoji;
    for (int i = 0; i < 40; ++i) {
        emoji += u"😀";
    }
    Contact fourOctets = at(1, 2);
    fourOctets.setText(ContactField::GivenName, emoji);
    // An escape is never cut: "FN:" and 71 letters are 74 octets, and "\," goes on the next line.
    Contact escape = at(1, 3);
    escape.setText(ContactField::GivenName, std::u16string(71, u'a') + u",b");

    const std::string file = vcardFile({twoOctets, fourOctets, escape}, u"");
    const auto repeat = [](const std::string& text, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) {
            out += text;
        }
        return out;
    };
    const std::vector<std::string> cards = test_support::splitVCardFile(file);
    ASSERT_EQ(cards.size(), 3u) << file;
    const std::string uid1 = uidsOf(cards[0]).at(0);
    EXPECT_EQ(cards[0], card({"N:;a" + first + "\r\n " + repeat("ä", 5) + ";;;",
                              "FN:a" + first + "\r\n " + repeat("ä", 5), "UID:" + uid1}));
    const std::string uid2 = uidsOf(cards[1]).at(0);
    EXPECT_EQ(cards[1],
              card({"N:;" + repeat("😀", 18) + "\r\n " + repeat("😀", 18) + "\r\n " + repeat("😀", 4) +
                        ";;;",
                    "FN:" + repeat("😀", 18) + "\r\n " + repeat("😀", 18) + "\r\n " + repeat("😀", 4),
                    "UID:" + uid2}));
    const std::string uid3 = uidsOf(cards[2]).at(0);
    EXPECT_EQ(cards[2], card({"N:;" + std::string(71, 'a') + "\r\n \\,b;;;",
                              "FN:" + std::string(71, 'a') + "\r\n \\,b", "UID:" + uid3}));

    std::vector<test_support::VCard> read;
    std::string problem;
    ASSERT_TRUE(test_support::readVCardFile(file, read, problem)) << problem;
    std::u16string name;
    ASSERT_TRUE(read.at(1).single("FN", name));
    EXPECT_EQ(name, emoji);
}

TEST(VCardWriter, ContactsWithoutANameAreNamedByTheirFirstNumberOrAddress) {
    Contact number = at(2, 1);
    number.addPhone(kind::MobilePhone, u"+49170");
    number.addPhone(kind::WorkPhone, u"+49891");
    Contact email = at(2, 2);
    email.setText(ContactField::GivenName, u"  ");  // blank is no name
    email.addEmail(kind::OtherEmail, u"who@example.org");
    Contact familyOnly = at(2, 3);
    familyOnly.setText(ContactField::FamilyName, u"Dvořák");
    Contact nothing;  // no name, no value, no index: still a card
    const std::string file = vcardFile({number, email, familyOnly, nothing});
    const std::vector<std::string> cards = test_support::splitVCardFile(file);
    ASSERT_EQ(cards.size(), 4u) << file;
    const std::vector<std::string> uids = uidsOf(file);
    ASSERT_EQ(uids.size(), 4u);
    EXPECT_EQ(cards[0], card({"N:;;;;", "FN:+49891", "TEL;TYPE=WORK,VOICE:+49891",
                              "TEL;TYPE=CELL:+49170", "UID:" + uids[0]}));
    EXPECT_EQ(cards[1], card({"N:;  ;;;", "FN:who@example.org",
                              "EMAIL;TYPE=INTERNET:who@example.org", "UID:" + uids[1]}));
    EXPECT_EQ(cards[2], card({"N:Dvořák;;;;", "FN:Dvořák", "UID:" + uids[2]}));
    EXPECT_EQ(cards[3], card({"N:;;;;", "FN:", "UID:" + uids[3]}));
    EXPECT_EQ(uids[0], ContactUids::nameBased("351234567890123/2/1"));
    EXPECT_TRUE(isRandomUuid(uids[3])) << uids[3];
}

TEST(VCardWriter, BirthdaysOnlyWhenTheyReadAsADate) {
    struct Case {
        std::u16string phone;
        std::optional<std::u16string> date;
        std::u16string google;  // what the Google layout writes of it
    };
    const Case cases[] = {
        {u"12-25-1980", u"1980-12-25", u"1980-12-25"},
        {u"1-2-2003", u"2003-01-02", u"2003-01-02"},
        {u"2-29-1996", u"1996-02-29", u"1996-02-29"},
        {u" 07 - 04 - 0976 ", u"0976-07-04", u"0976-07-04"},
        {u"+3-+4-+1985", u"1985-03-04", u"1985-03-04"},
        {u"4-30-1990 extra", u"1990-04-30", u"1990-04-30"},
        {u"2-29-1997", std::nullopt, u"1997-02-29"},
        {u"2-29-1900", std::nullopt, u"1900-02-29"},
        {u"4-31-1990", std::nullopt, u"1990-04-31"},
        {u"13-1-2000", std::nullopt, u"2000-13-01"},
        {u"0-10-2000", std::nullopt, u"2000-00-10"},
        {u"3-14", std::nullopt, u"0000-03-14"},
        {u"3-14-0", std::nullopt, u"0000-03-14"},
        {u"1-2-12345", std::nullopt, u"12345-01-02"},
        {u"123-1-2000", std::nullopt, u"2000-123-01"},
        {u"birthday", std::nullopt, u"0000-00-00"},
        {u"-", std::nullopt, u"0000-00-00"},
    };
    for (const Case& c : cases) {
        const PhoneBirthday birthday(c.phone);
        EXPECT_EQ(birthday.date(), c.date) << text_codec::toUtf8(c.phone);
        EXPECT_EQ(birthday.yearMonthDay(), c.google) << text_codec::toUtf8(c.phone);
    }
    Contact contact = at(1, 9);
    contact.setText(ContactField::Birthday, u"2-30-1990");
    EXPECT_EQ(vcardFile({contact}).find("BDAY"), std::string::npos);
}

TEST(VCardWriter, UidsAreStableAcrossExportsAndNeverShared) {
    Contact first = at(1, 7);
    Contact sim = at(2, 7);
    Contact again = at(1, 7);  // a phone that sends an index twice
    Contact unindexed;
    unindexed.setStorage(StorageKind::Memory);
    const std::vector<std::string> one = uidsOf(vcardFile({first, sim, again, unindexed}));
    const std::vector<std::string> two = uidsOf(vcardFile({first, sim, again, unindexed}));
    ASSERT_EQ(one.size(), 4u);
    ASSERT_EQ(two.size(), 4u);
    EXPECT_EQ(one[0], "8941ba39-841c-57e0-bd91-0f227e2c0d61");
    EXPECT_EQ(one[1], "ee161b9a-a5bc-5e12-b1e5-9a58970c68f5");
    EXPECT_EQ(two[0], one[0]);
    EXPECT_EQ(two[1], one[1]);
    // The repeated index and the contact without one get random UIDs, new each time.
    for (const auto& uids : {one, two}) {
        EXPECT_TRUE(isRandomUuid(uids[2])) << uids[2];
        EXPECT_TRUE(isRandomUuid(uids[3])) << uids[3];
    }
    EXPECT_NE(one[2], two[2]);
    EXPECT_NE(one[3], two[3]);
    // Without an IMEI every UID is random.
    for (const std::u16string& none : {std::u16string(), std::u16string(u" ")}) {
        const std::vector<std::string> anonymous = uidsOf(vcardFile({first, sim}, none));
        ASSERT_EQ(anonymous.size(), 2u);
        EXPECT_TRUE(isRandomUuid(anonymous[0]) && isRandomUuid(anonymous[1]));
        EXPECT_NE(anonymous[0], anonymous[1]);
    }
}

TEST(VCardWriter, NoContactLeavesAnEmptyFile) {
    TempDir dir;
    const auto path = dir.file("contacts.vcf");
    { std::ofstream(path) << "old"; }
    { CSVExportManager manager(OutputFormat::VCard, u16(path), 0, kImei); }
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(readFileBytes(path), "");
}

}  // namespace
