#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/StorageKind.h"

// A finished contact, read-only. Getters never fail: an absent value is an empty string.
// Within one kind, several values come in the contact's order (see Contact).
class IContact {
public:
    virtual ~IContact() = default;

    virtual std::u16string givenName() const = 0;
    virtual std::u16string familyName() const = 0;
    virtual std::u16string additionalName() const = 0;
    // The first phone number of the kind, or empty.
    virtual std::u16string phone(std::int32_t kind) const = 0;
    // Appends every phone number of the kind to the list.
    virtual void phones(std::int32_t kind, std::vector<std::u16string>& list) const = 0;
    // The first web address, or empty.
    virtual std::u16string website() const = 0;
    // Appends every web address to the list.
    virtual void websites(std::vector<std::u16string>& list) const = 0;
    // The first e-mail address of any kind (kinds in ascending order), or empty.
    virtual std::u16string firstEmail() const = 0;
    virtual std::u16string email(std::int32_t kind) const = 0;
    virtual void emails(std::int32_t kind, std::vector<std::u16string>& list) const = 0;
    virtual std::u16string address(std::int32_t kind) const = 0;
    virtual void addresses(std::int32_t kind, std::vector<std::u16string>& list) const = 0;
    // The number of phonebook entries merged into this contact.
    virtual std::int32_t entryCount() const = 0;
    // The birthday as the phone sent it.
    virtual std::u16string birthday() const = 0;
    virtual std::u16string group() const = 0;
    // The phonebook storage the contact was read from; Unknown when not known.
    virtual StorageKind storage() const = 0;
    // The phonebook index of the contact's first entry; none when the phone sent no index that
    // reads as one.
    virtual std::optional<std::int64_t> firstIndex() const = 0;
};
