#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "export/Contact.h"
#include "export/ContactField.h"

namespace {

using Texts = std::vector<std::u16string>;
namespace kind = contact_kind;

TEST(Contact, StartsEmptyInTheDefaultGroup) {
    const Contact contact;
    EXPECT_EQ(contact.group(), u"General");
    EXPECT_EQ(contact.entryCount(), 0);
    EXPECT_EQ(contact.storage(), StorageKind::Unknown);
    EXPECT_EQ(contact.firstIndex(), std::nullopt);
    for (const auto& text :
         {contact.givenName(), contact.familyName(), contact.additionalName(), contact.birthday(),
          contact.website(), contact.firstEmail(), contact.phone(kind::MobilePhone),
          contact.email(kind::OtherEmail), contact.address(kind::HomeAddress)}) {
        EXPECT_EQ(text, u"");
    }
    Texts list;
    contact.phones(kind::MobilePhone, list);
    contact.emails(kind::OtherEmail, list);
    contact.addresses(kind::OtherAddress, list);
    contact.websites(list);
    EXPECT_TRUE(list.empty());
}

// A value of a kind that already has values goes right before the last value of that kind.
TEST(Contact, OrdersValuesOfOneKindBeforeTheLastOne) {
    const std::vector<std::pair<Texts, Texts>> cases = {
        {{u"a"}, {u"a"}},
        {{u"a", u"b"}, {u"b", u"a"}},
        {{u"a", u"b", u"c"}, {u"b", u"c", u"a"}},
        {{u"a", u"b", u"c", u"d"}, {u"b", u"c", u"d", u"a"}},
        {{u"a", u"a", u"b"}, {u"a", u"b", u"a"}},
    };
    for (const auto& [added, expected] : cases) {
        Contact contact;
        for (const auto& value : added) {
            contact.addPhone(kind::MobilePhone, value);
            contact.addEmail(kind::HomeEmail, value);
            contact.addAddress(kind::WorkAddress, value);
        }
        Texts phones, emails, addresses;
        contact.phones(kind::MobilePhone, phones);
        contact.emails(kind::HomeEmail, emails);
        contact.addresses(kind::WorkAddress, addresses);
        EXPECT_EQ(phones, expected) << added.size() << " values";
        EXPECT_EQ(emails, expected) << added.size() << " values";
        EXPECT_EQ(addresses, expected) << added.size() << " values";
        EXPECT_EQ(contact.phone(kind::MobilePhone), expected.front());
        EXPECT_EQ(contact.email(kind::HomeEmail), expected.front());
        EXPECT_EQ(contact.address(kind::WorkAddress), expected.front());
    }
}

TEST(Contact, KeepsKindsApartWhileInterleaved) {
    Contact contact;
    contact.addPhone(kind::OtherPhone1, u"8a");
    contact.addPhone(kind::MobilePhone, u"3a");
    contact.addPhone(kind::OtherPhone3, u"10a");
    contact.addPhone(kind::MobilePhone, u"3b");
    contact.addPhone(kind::OtherPhone1, u"8b");
    contact.addPhone(kind::MobilePhone, u"3c");

    Texts list;
    contact.phones(kind::MobilePhone, list);
    EXPECT_EQ(list, (Texts{u"3b", u"3c", u"3a"}));
    list.clear();
    contact.phones(kind::OtherPhone1, list);
    EXPECT_EQ(list, (Texts{u"8b", u"8a"}));
    // Kinds are not grouped by the contact.
    list.clear();
    contact.phones(kind::OtherPhone2, list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(contact.phone(kind::OtherPhone2), u"");
}

TEST(Contact, FirstEmailTakesTheLowestKindFirst) {
    Contact contact;
    contact.addEmail(kind::OtherEmail, u"other@x");
    EXPECT_EQ(contact.firstEmail(), u"other@x");
    contact.addEmail(kind::HomeEmail, u"home@x");
    EXPECT_EQ(contact.firstEmail(), u"home@x");
    contact.addEmail(kind::PlainEmail, u"plain1@x");
    contact.addEmail(kind::PlainEmail, u"plain2@x");
    EXPECT_EQ(contact.firstEmail(), u"plain2@x");
    contact.addEmail(kind::ExtraOtherEmail, u"extra@x");
    EXPECT_EQ(contact.firstEmail(), u"extra@x");
    // Values of other multimaps do not count.
    Contact phonesOnly;
    phonesOnly.addPhone(kind::WorkPhone, u"1");
    phonesOnly.addAddress(kind::HomeAddress, u"a");
    EXPECT_EQ(phonesOnly.firstEmail(), u"");
}

TEST(Contact, SetTextFillsOnlySingleValuedFields) {
    struct Case {
        std::int32_t field;
        std::u16string (Contact::*getter)() const;
    };
    const Case cases[] = {
        {ContactField::GivenName, &Contact::givenName},
        {ContactField::FamilyName, &Contact::familyName},
        {ContactField::AdditionalName, &Contact::additionalName},
        {ContactField::Birthday, &Contact::birthday},
        {ContactField::Group, &Contact::group},
    };
    for (const auto& [field, getter] : cases) {
        Contact contact;
        contact.setText(field, u"first");
        contact.setText(field, u"text");
        EXPECT_EQ((contact.*getter)(), u"text") << "field " << field;
    }

    for (const std::int32_t field : {ContactField::Phone, ContactField::Email,
                                     ContactField::Address, ContactField::Website, 9, 255, -1}) {
        Contact contact;
        contact.setText(field, u"text");
        EXPECT_EQ(contact.givenName(), u"") << "field " << field;
        EXPECT_EQ(contact.group(), u"General") << "field " << field;
        EXPECT_EQ(contact.birthday(), u"") << "field " << field;
        EXPECT_EQ(contact.phone(kind::MobilePhone), u"") << "field " << field;
        EXPECT_EQ(contact.website(), u"") << "field " << field;
    }
}

TEST(Contact, WebsitesKeepTheirOrderAndAppendToTheCallersList) {
    Contact contact;
    contact.addWebsite(u"https://a.example");
    contact.addWebsite(u"https://b.example");
    contact.addWebsite(u"https://a.example");
    EXPECT_EQ(contact.website(), u"https://a.example");
    Texts list{u"kept"};
    contact.websites(list);
    EXPECT_EQ(list,
              (Texts{u"kept", u"https://a.example", u"https://b.example", u"https://a.example"}));

    Texts phones{u"kept"};
    contact.addPhone(kind::HomePhone, u"1");
    contact.phones(kind::HomePhone, phones);
    EXPECT_EQ(phones, (Texts{u"kept", u"1"}));
}

TEST(Contact, CountsEntries) {
    Contact contact;
    contact.addEntry();
    contact.addEntry();
    contact.addEntry();
    EXPECT_EQ(contact.entryCount(), 3);
}

}  // namespace
