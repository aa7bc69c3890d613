#pragma once

#include "SoakPhone.h"
#include "export/IContact.h"

namespace soak {

// An expected contact seen through the getters the CSV row check reads: the values the soak
// worked out, the fields it does not draw empty. Keeps a reference to the contact.
class ExpectedContactView final : public IContact {
public:
    explicit ExpectedContactView(const ExpectedContact& contact) : contact_(contact) {}

    std::u16string givenName() const override { return contact_.givenName; }
    std::u16string familyName() const override { return contact_.familyName; }
    std::u16string additionalName() const override { return {}; }
    std::u16string phone(std::int32_t kind) const override;
    void phones(std::int32_t kind, std::vector<std::u16string>& list) const override;
    std::u16string website() const override { return {}; }
    void websites(std::vector<std::u16string>&) const override {}
    // The address of the lowest kind.
    std::u16string firstEmail() const override;
    std::u16string email(std::int32_t kind) const override;
    void emails(std::int32_t kind, std::vector<std::u16string>& list) const override;
    std::u16string address(std::int32_t) const override { return {}; }
    void addresses(std::int32_t, std::vector<std::u16string>&) const override {}
    std::int32_t entryCount() const override { return contact_.entries; }
    std::u16string birthday() const override { return {}; }
    std::u16string group() const override { return contact_.group; }
    StorageKind storage() const override { return StorageKind::Unknown; }
    std::optional<std::int64_t> firstIndex() const override { return contact_.index; }

private:
    const ExpectedContact& contact_;
};

}  // namespace soak
