#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/ContactField.h"
#include "phonebook/ContactBuilder.h"

namespace {

using Texts = std::vector<std::u16string>;
namespace kind = contact_kind;

// What a sink saw of one contact; sinks must copy during onContact.
struct Seen {
    const IContact* address = nullptr;
    std::u16string givenName, familyName, additionalName, birthday, group, website;
    Texts workPhones, mobilePhones, otherEmails, otherAddresses, websites;
    std::int32_t entryCount = 0;
    StorageKind storage = StorageKind::Unknown;
    std::optional<std::int64_t> firstIndex;
};

class RecordingSink : public IContactBuilderSink {
public:
    void onContact(const IContact& contact) override {
        Seen seen;
        seen.address = &contact;
        seen.givenName = contact.givenName();
        seen.familyName = contact.familyName();
        seen.additionalName = contact.additionalName();
        seen.birthday = contact.birthday();
        seen.group = contact.group();
        seen.website = contact.website();
        contact.phones(kind::WorkPhone, seen.workPhones);
        contact.phones(kind::MobilePhone, seen.mobilePhones);
        contact.emails(kind::OtherEmail, seen.otherEmails);
        contact.addresses(kind::OtherAddress, seen.otherAddresses);
        contact.websites(seen.websites);
        seen.entryCount = contact.entryCount();
        seen.storage = contact.storage();
        seen.firstIndex = contact.firstIndex();
        contacts.push_back(seen);
    }

    std::vector<Seen> contacts;
};

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ThrowingSink : public IContactBuilderSink {
public:
    void onContact(const IContact&) override { throw Failure("sink failed"); }
};

class ContactBuilderTest : public ::testing::Test {
protected:
    ContactBuilderTest() { builder.addSink(&sink); }

    void single(std::int32_t field, const std::u16string& text) {
        builder.push(field);
        builder.setValue(text);
        builder.pop();
    }
    void multi(std::int32_t field, std::int32_t valueKind, const std::u16string& text) {
        builder.push(field);
        builder.push(valueKind);
        builder.setValue(text);
        builder.pop();
        builder.pop();
    }
    // Builds one contact with the calls and returns what the sink saw of it.
    Seen build(const std::function<void()>& calls) {
        const std::size_t before = sink.contacts.size();
        builder.beginContact();
        calls();
        builder.endContact();
        EXPECT_EQ(sink.contacts.size(), before + 1);
        return sink.contacts.empty() ? Seen{} : sink.contacts.back();
    }

    RecordingSink sink;
    ContactBuilder builder;
};

TEST_F(ContactBuilderTest, DispatchesFieldsByCodeAndKind) {
    const Seen seen = build([&] {
        single(ContactField::GivenName, u"Ann");
        single(ContactField::FamilyName, u"Lee");
        single(ContactField::AdditionalName, u"Jo");
        single(ContactField::Birthday, u"12-25-1980");
        single(ContactField::Group, u"Friends");
        multi(ContactField::Phone, kind::WorkPhone, u"100");
        multi(ContactField::Phone, kind::MobilePhone, u"300");
        multi(ContactField::Phone, kind::MobilePhone, u"301");
        multi(ContactField::Email, kind::OtherEmail, u"ann@x");
        multi(ContactField::Address, kind::OtherAddress, u"a;|;b");
        multi(ContactField::Website, kind::Website2, u"https://x");
    });
    EXPECT_EQ(seen.givenName, u"Ann");
    EXPECT_EQ(seen.familyName, u"Lee");
    EXPECT_EQ(seen.additionalName, u"Jo");
    EXPECT_EQ(seen.birthday, u"12-25-1980");
    EXPECT_EQ(seen.group, u"Friends");
    EXPECT_EQ(seen.workPhones, Texts{u"100"});
    EXPECT_EQ(seen.mobilePhones, (Texts{u"301", u"300"}));
    EXPECT_EQ(seen.otherEmails, Texts{u"ann@x"});
    EXPECT_EQ(seen.otherAddresses, Texts{u"a;|;b"});
    EXPECT_EQ(seen.websites, Texts{u"https://x"});
}

TEST_F(ContactBuilderTest, IgnoresFieldsAtTheWrongDepthOrWithUnknownCodes) {
    const Seen seen = build([&] {
        // A multi-valued code at depth 1 names no single-valued field.
        single(ContactField::Phone, u"300");
        // A single-valued code at depth 2 names no multi-valued field.
        multi(ContactField::GivenName, kind::MobilePhone, u"Ann");
        multi(255, 25, u"x");
        single(255, u"x");
        single(-1, u"x");
        // Depth 0 and depth 3 name nothing.
        builder.setValue(u"x");
        builder.push(ContactField::Phone);
        builder.push(kind::MobilePhone);
        builder.push(kind::MobilePhone);
        builder.setValue(u"deep");
        builder.pop();
        builder.pop();
        builder.pop();
    });
    EXPECT_EQ(seen.givenName, u"");
    EXPECT_EQ(seen.group, u"General");
    EXPECT_TRUE(seen.mobilePhones.empty());
    EXPECT_TRUE(seen.websites.empty());
}

TEST_F(ContactBuilderTest, DepthReturnsToTheTopBetweenFieldsAndContacts) {
    // A field abandoned halfway does not shift the next contact's fields.
    builder.beginContact();
    builder.push(ContactField::Phone);
    builder.push(kind::MobilePhone);
    Seen seen = build([&] { single(ContactField::GivenName, u"Ann"); });
    EXPECT_EQ(seen.givenName, u"Ann");

    // An extra pop stays at the top level.
    seen = build([&] {
        builder.pop();
        single(ContactField::FamilyName, u"Lee");
        multi(ContactField::Phone, kind::WorkPhone, u"100");
    });
    EXPECT_EQ(seen.familyName, u"Lee");
    EXPECT_EQ(seen.workPhones, Texts{u"100"});
}

TEST_F(ContactBuilderTest, StartsEachContactAfresh) {
    builder.setStorage(StorageKind::Sim);
    Seen first = build([&] {
        builder.setIndex(41);
        builder.addEntry();
        builder.addEntry();
        single(ContactField::GivenName, u"Ann");
        single(ContactField::Group, u"Work");
        multi(ContactField::Phone, kind::WorkPhone, u"100");
    });
    EXPECT_EQ(first.entryCount, 2);
    EXPECT_EQ(first.firstIndex, 41);
    const Seen second = build([] {});
    EXPECT_EQ(second.entryCount, 0);
    EXPECT_EQ(second.firstIndex, std::nullopt);
    // Every contact is stamped with the storage being read.
    EXPECT_EQ(first.storage, StorageKind::Sim);
    EXPECT_EQ(second.storage, StorageKind::Sim);
    EXPECT_EQ(second.givenName, u"");
    EXPECT_EQ(second.group, u"General");
    EXPECT_TRUE(second.workPhones.empty());
}

TEST_F(ContactBuilderTest, IgnoresCallsBeforeTheFirstContact) {
    ContactBuilder fresh;
    fresh.addSink(&sink);
    fresh.addEntry();
    fresh.setIndex(3);
    fresh.push(ContactField::GivenName);
    fresh.setValue(u"lost");
    fresh.pop();
    fresh.push(ContactField::FamilyName);
    fresh.endContact();
    EXPECT_TRUE(sink.contacts.empty());

    fresh.beginContact();
    fresh.push(ContactField::GivenName);
    fresh.setValue(u"Ann");
    fresh.pop();
    fresh.endContact();
    ASSERT_EQ(sink.contacts.size(), 1u);
    EXPECT_EQ(sink.contacts[0].givenName, u"Ann");
    EXPECT_EQ(sink.contacts[0].familyName, u"");
    EXPECT_EQ(sink.contacts[0].entryCount, 0);
    EXPECT_EQ(sink.contacts[0].firstIndex, std::nullopt);
}

TEST_F(ContactBuilderTest, HandsTheSameContactToEverySinkOnce) {
    RecordingSink second;
    builder.addSink(&second);
    builder.addSink(&sink);
    builder.addSink(nullptr);
    build([&] { single(ContactField::GivenName, u"Ann"); });
    ASSERT_EQ(second.contacts.size(), 1u);
    EXPECT_EQ(second.contacts[0].address, sink.contacts[0].address);
    EXPECT_EQ(second.contacts[0].givenName, u"Ann");

    // The contact stays current after endContact: handing it on again is allowed.
    builder.endContact();
    EXPECT_EQ(sink.contacts.size(), 2u);
    EXPECT_EQ(sink.contacts[1].address, sink.contacts[0].address);
}

TEST_F(ContactBuilderTest, SinkExceptionsPassThroughAndLeaveTheBuilderUsable) {
    ThrowingSink throwing;
    RecordingSink later;
    builder.addSink(&throwing);
    builder.addSink(&later);

    builder.beginContact();
    single(ContactField::GivenName, u"Ann");
    EXPECT_THROW(builder.endContact(), Failure);
    EXPECT_EQ(sink.contacts.size(), 1u);
    EXPECT_TRUE(later.contacts.empty());

    // Still the same contact, still open for fields.
    single(ContactField::FamilyName, u"Lee");
    EXPECT_THROW(builder.endContact(), Failure);
    ASSERT_EQ(sink.contacts.size(), 2u);
    EXPECT_EQ(sink.contacts[1].givenName, u"Ann");
    EXPECT_EQ(sink.contacts[1].familyName, u"Lee");

    builder.beginContact();
    single(ContactField::GivenName, u"Bob");
    EXPECT_THROW(builder.endContact(), Failure);
    EXPECT_EQ(sink.contacts.back().givenName, u"Bob");
    EXPECT_EQ(sink.contacts.back().familyName, u"");
}

}  // namespace
