#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CsvFiles.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/GoogleCSVWriter.h"
#include "export/OutlookCSVWriter.h"

namespace {

using namespace csv_test;
namespace kind = contact_kind;

const std::string kGoogleHeader =
    "Name,Given Name,Additional Name,Family Name,Birthday,Occupation,Hobby,Sensitivity,Priority,"
    "Subject,Group Membership,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value,"
    "E-mail 3 - Type,E-mail 3 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
    "Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Phone 4 - Type,Phone 4 - Value,"
    "Phone 5 - Type,Phone 5 - Value,Phone 6 - Type,Phone 6 - Value,Phone 7 - Type,"
    "Phone 7 - Value,Address 1 - Type,Address 1 - Formatted,Address 2 - Type,"
    "Address 2 - Formatted,Address 3 - Type,Address 3 - Formatted,Website 1 - Type,"
    "Website 1 - Value\r\n";

const std::string kOutlookHeader =
    "\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\",\"Primary Phone\","
    "\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\",\"Business Phone\"\r\n";

template <typename Writer>
std::string headerOf() {
    test_support::TempDir dir;
    const auto path = dir.file("header.csv");
    {
        Writer writer(u16(path), 2);
        writer.writeHeader();
    }
    return test_support::readFileBytes(path);
}

std::string google(const Contact& contact) {
    return rowOf<GoogleCSVWriter>(contact);
}

std::string outlook(const Contact& contact) {
    return rowOf<OutlookCSVWriter>(contact);
}

TEST(CsvHeader, GoogleHas39NamesAndNoTrailingComma) {
    const std::string header = headerOf<GoogleCSVWriter>();
    EXPECT_EQ(header, kGoogleHeader);
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 38);
}

TEST(CsvHeader, OutlookHasTenQuotedNames) {
    EXPECT_EQ(headerOf<OutlookCSVWriter>(), kOutlookHeader);
}

TEST(GoogleRow, ContactWithOnlyAGivenName) {
    Contact ann;
    ann.setText(ContactField::GivenName, u"Ann");
    EXPECT_EQ(google(ann),
              "\"Ann \",,\"\",\"\",,,,,,,\"General\",Work,\"\",Home,\"\",Other,\"\",Main,\"\","
              "Home,\"\",Work,\"\",Mobile,\"\",Fax,\"\",Pager,\"\",Other,\"\",Home,\"\",Work,\"\","
              "Other,\"\",Other,\"\",\r\n");
}

TEST(GoogleRow, EveryFieldInItsColumn) {
    Contact contact;
    contact.setText(ContactField::GivenName, u"Ann");
    contact.setText(ContactField::FamilyName, u"Lee");
    contact.setText(ContactField::AdditionalName, u"Jo");
    contact.setText(ContactField::Birthday, u"12-25-1980");
    contact.setText(ContactField::Group, u"Friends");
    contact.addEmail(kind::WorkEmail, u"w@x");
    contact.addEmail(kind::HomeEmail, u"h@x");
    contact.addEmail(kind::OtherEmail, u"o14@x");
    contact.addEmail(kind::ExtraOtherEmail, u"o6@x");
    contact.addEmail(kind::PlainEmail, u"plain@x");  // no Google column
    contact.addPhone(kind::MainPhone, u"2");
    contact.addPhone(kind::HomePhone, u"1");
    contact.addPhone(kind::WorkPhone, u"0");
    contact.addPhone(kind::MobilePhone, u"3");
    contact.addPhone(kind::FaxPhone, u"4");
    contact.addPhone(kind::PagerPhone, u"5");
    contact.addPhone(kind::OtherPhone1, u"8");
    contact.addPhone(kind::OtherPhone2, u"9");
    contact.addPhone(kind::OtherPhone3, u"10");
    contact.addPhone(kind::OtherPhone4, u"11");
    contact.addAddress(kind::HomeAddress, u"1 Home Rd;|;;|;Town;|;;|;;|;");
    contact.addAddress(kind::WorkAddress, u";|;2 Work St;|;City;|;;|;;|;Land");
    contact.addAddress(kind::OtherAddress, u"3 Other Way");
    contact.addWebsite(u"https://a.example");
    contact.addWebsite(u"https://b.example");

    EXPECT_EQ(google(contact), googleRow({{1, "\"Ann Lee\""},
                                          {3, "\"Jo\""},
                                          {4, "\"Lee\""},
                                          {5, "1980-12-25"},
                                          {11, "\"Friends\""},
                                          {13, "\"w@x\""},
                                          {15, "\"h@x\""},
                                          {17, "\"o6@x ::: o14@x\""},
                                          {19, "\"2\""},
                                          {21, "\"1\""},
                                          {23, "\"0\""},
                                          {25, "\"3\""},
                                          {27, "\"4\""},
                                          {29, "\"5\""},
                                          {31, "\"11 ::: 8 ::: 9 ::: 10\""},
                                          {33, "\"1 Home Rd  Town   \""},
                                          {35, "\"2 Work St City   Land\""},
                                          {37, "\"3 Other Way\""},
                                          {39, "\"https://a.example ::: https://b.example\""}}));
}

TEST(GoogleRow, JoinsSeveralValuesInTheContactsOrder) {
    Contact contact;
    contact.addPhone(kind::MobilePhone, u"A");
    contact.addPhone(kind::MobilePhone, u"B");
    contact.addPhone(kind::MobilePhone, u"C");
    contact.addPhone(kind::OtherPhone1, u"eight");
    contact.addPhone(kind::OtherPhone4, u"eleven");
    contact.addAddress(kind::HomeAddress, u"a;|;b");
    contact.addAddress(kind::HomeAddress, u"c");
    EXPECT_EQ(google(contact), googleRow({{25, "\"B ::: C ::: A\""},
                                          {31, "\"eleven ::: eight\""},
                                          {33, "\"c ::: a b\""}}));
}

TEST(GoogleRow, DoublesQuotesInEveryValueCell) {
    Contact contact;
    contact.setText(ContactField::GivenName, u"\"Al\"");
    contact.setText(ContactField::FamilyName, u"O\"Neil");
    contact.setText(ContactField::Group, u"A \"B\"");
    contact.addPhone(kind::MobilePhone, u"1\"2");
    contact.addAddress(kind::OtherAddress, u"\"x\";|;y");
    contact.addWebsite(u"https://x.example/?a=1,b=\"2\"");
    EXPECT_EQ(google(contact), googleRow({{1, "\"\"\"Al\"\" O\"\"Neil\""},
                                          {4, "\"O\"\"Neil\""},
                                          {11, "\"A \"\"B\"\"\""},
                                          {25, "\"1\"\"2\""},
                                          {37, "\"\"\"x\"\" y\""},
                                          {39, "\"https://x.example/?a=1,b=\"\"2\"\"\""}}));
}

TEST(GoogleRow, ReformatsTheBirthday) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"12-25-1980", u"1980-12-25"},
        {u"1-2-2003", u"2003-01-02"},
        {u"", u""},
        {u"unknown", u"0000-00-00"},
        {u"12-x-1980", u"0000-12-00"},
        {u"12-25", u"0000-12-25"},
        {u" 7 8 99 ", u"0099-07-08"},
        {u"007-08-0009", u"0009-07-08"},
        {u"+3-4-5", u"0005-03-04"},
        {u"12/25/1980", u"0000-12-00"},
        {u"123-456-123456789012345678901", u"123456789012345678901-123-456"},
    };
    for (const auto& [birthday, expected] : cases) {
        EXPECT_EQ(GoogleCSVWriter::formatBirthday(birthday), expected)
            << text_codec::toUtf8(birthday);
    }
    Contact contact;
    contact.setText(ContactField::Birthday, u"1-2-2003");
    EXPECT_EQ(google(contact), googleRow({{5, "2003-01-02"}}));
}

TEST(GoogleRow, CleansAddressSeparators) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"12 High St;|;;|;Springfield", u"12 High St  Springfield"},
        {u";|;Flat 2;|;Road", u"Flat 2 Road"},
        {u";|;;|;;|;Town", u"Town"},
        {u";|;;|;;|;;|;;|;", u""},
        {u"a;|;|;b", u"a |;b"},
        {u"a;|b;c", u"a;|b;c"},
        {u"", u""},
    };
    for (const auto& [stored, expected] : cases) {
        EXPECT_EQ(GoogleCSVWriter::cleanAddress(stored), expected) << text_codec::toUtf8(stored);
    }
}

TEST(OutlookRow, WritesTheFirstValueOfEachColumn) {
    Contact contact;
    contact.setText(ContactField::GivenName, u"Ann");
    contact.setText(ContactField::FamilyName, u"Lee");
    contact.setText(ContactField::AdditionalName, u"Jo");  // not written
    contact.setText(ContactField::Birthday, u"1-2-2003");  // not written
    contact.addEmail(kind::OtherEmail, u"other@x");
    contact.addEmail(kind::PlainEmail, u"plain@x");
    contact.addPhone(kind::MainPhone, u"2");
    contact.addPhone(kind::HomePhone, u"1");
    contact.addPhone(kind::MobilePhone, u"A");
    contact.addPhone(kind::MobilePhone, u"B");
    contact.addPhone(kind::MobilePhone, u"C");
    contact.addPhone(kind::PagerPhone, u"5");  // the Pager column stays empty
    contact.addPhone(kind::FaxPhone, u"4");
    contact.addPhone(kind::WorkPhone, u"0");
    contact.addAddress(kind::HomeAddress, u"a");
    contact.addWebsite(u"https://x");
    EXPECT_EQ(outlook(contact), outlookRow({{1, "\"Ann\""},
                                            {3, "\"Lee\""},
                                            {4, "\"plain@x\""},
                                            {5, "\"2\""},
                                            {6, "\"1\""},
                                            {7, "\"B\""},
                                            {9, "\"4\""},
                                            {10, "\"0\""}}));
}

TEST(OutlookRow, TurnsQuotesIntoApostrophes) {
    Contact contact;
    contact.setText(ContactField::GivenName, u"Ann");
    contact.setText(ContactField::FamilyName, u"O\"Neil");
    contact.addEmail(kind::HomeEmail, u"\"a\"@x");
    EXPECT_EQ(outlook(contact), "\"Ann\",,\"O'Neil\",\"'a'@x\",\"\",\"\",\"\",,\"\",\"\"\r\n");
}

TEST(CsvRow, LineFeedsInsideValuesBecomeCarriageReturnLineFeed) {
    Contact contact;
    contact.setText(ContactField::GivenName, u"Ann\nMarie");
    EXPECT_EQ(outlook(contact), outlookRow({{1, "\"Ann\r\nMarie\""}}));
    EXPECT_EQ(google(contact), googleRow({{1, "\"Ann\r\nMarie \""}}));
}

}  // namespace
