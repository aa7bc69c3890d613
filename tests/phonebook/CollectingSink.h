#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "phonebook/IContactBuilderSink.h"

namespace phonebook_test {

using Texts = std::vector<std::u16string>;

// A copy of everything a contact holds, taken while the sink is called.
struct ContactCopy {
    std::u16string givenName, familyName, additionalName, birthday, group, firstEmail;
    std::map<std::int32_t, Texts> phones, emails, addresses;  // only kinds that hold values
    Texts websites;
    std::int32_t entryCount = 0;
    std::optional<std::int64_t> firstIndex;
};

// Keeps a copy of every contact it receives, in order.
class CollectingSink : public IContactBuilderSink {
public:
    void onContact(const IContact& contact) override {
        ContactCopy copy;
        copy.givenName = contact.givenName();
        copy.familyName = contact.familyName();
        copy.additionalName = contact.additionalName();
        copy.birthday = contact.birthday();
        copy.group = contact.group();
        copy.firstEmail = contact.firstEmail();
        // Every kind the phone knows, and a few beyond, so that stray kinds show up too.
        for (std::int32_t kind = -1; kind <= 20; ++kind) {
            Texts values;
            contact.phones(kind, values);
            if (!values.empty())
                copy.phones[kind] = values;
            values.clear();
            contact.emails(kind, values);
            if (!values.empty())
                copy.emails[kind] = values;
            values.clear();
            contact.addresses(kind, values);
            if (!values.empty())
                copy.addresses[kind] = values;
        }
        contact.websites(copy.websites);
        copy.entryCount = contact.entryCount();
        copy.firstIndex = contact.firstIndex();
        contacts.push_back(std::move(copy));
    }

    std::vector<ContactCopy> contacts;
};

}  // namespace phonebook_test
