#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "export/IContact.h"

// One person or company as the phonebook describes it, filled by the contact builder.
//
// Phone numbers, e-mail and postal addresses are kept per kind. A value of a kind that already
// has values is placed immediately before the last value of that kind, so values added as
// a, b, c, d come back as b, c, d, a. E-mail kinds are visited in ascending order by firstEmail.
class Contact final : public IContact {
public:
    Contact();

    std::u16string givenName() const override { return givenName_; }
    std::u16string familyName() const override { return familyName_; }
    std::u16string additionalName() const override { return additionalName_; }
    std::u16string phone(std::int32_t kind) const override;
    void phones(std::int32_t kind, std::vector<std::u16string>& list) const override;
    std::u16string website() const override;
    void websites(std::vector<std::u16string>& list) const override;
    std::u16string firstEmail() const override;
    std::u16string email(std::int32_t kind) const override;
    void emails(std::int32_t kind, std::vector<std::u16string>& list) const override;
    std::u16string address(std::int32_t kind) const override;
    void addresses(std::int32_t kind, std::vector<std::u16string>& list) const override;
    std::int32_t entryCount() const override { return entryCount_; }
    std::u16string birthday() const override { return birthday_; }
    std::u16string group() const override { return group_; }
    StorageKind storage() const override { return storage_; }
    std::optional<std::int64_t> firstIndex() const override { return firstIndex_; }

    // Replaces a single-valued field (GivenName, FamilyName, AdditionalName, Birthday, Group);
    // any other field code does nothing.
    void setText(std::int32_t field, const std::u16string& text);
    // Add one value of a kind; values are never replaced, duplicates are kept.
    void addPhone(std::int32_t kind, const std::u16string& text);
    void addEmail(std::int32_t kind, const std::u16string& text);
    void addAddress(std::int32_t kind, const std::u16string& text);
    void addWebsite(const std::u16string& text);
    // Counts one more phonebook entry merged into this contact.
    void addEntry();
    // Where the contact was read: its storage, and the index of its first entry.
    void setStorage(StorageKind storage) { storage_ = storage; }
    void setFirstIndex(std::int64_t index) { firstIndex_ = index; }

private:
    using ValuesByKind = std::multimap<std::int32_t, std::u16string>;

    static void add(ValuesByKind& values, std::int32_t kind, const std::u16string& text);
    static std::u16string first(const ValuesByKind& values, std::int32_t kind);
    static void all(const ValuesByKind& values, std::int32_t kind,
                    std::vector<std::u16string>& list);

    std::u16string givenName_;
    std::u16string familyName_;
    std::u16string additionalName_;
    std::vector<std::u16string> websites_;
    std::u16string birthday_;
    std::u16string group_;
    ValuesByKind phones_;
    ValuesByKind emails_;
    ValuesByKind addresses_;
    std::int32_t entryCount_ = 0;
    StorageKind storage_ = StorageKind::Unknown;
    std::optional<std::int64_t> firstIndex_;
};
