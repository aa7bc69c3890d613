#include "export/Contact.h"

#include <iterator>
#include <limits>

#include "export/ContactField.h"

Contact::Contact() : group_(kDefaultContactGroup) {}

void Contact::add(ValuesByKind& values, std::int32_t kind, const std::u16string& text) {
    const auto end = values.upper_bound(kind);
    if (end == values.begin() || std::prev(end)->first != kind) {
        values.emplace(kind, text);
        return;
    }
    // With a hint, an equal key is inserted immediately before the hint: before the last value.
    values.emplace_hint(std::prev(end), kind, text);
}

std::u16string Contact::first(const ValuesByKind& values, std::int32_t kind) {
    const auto found = values.find(kind);
    return found == values.end() ? std::u16string() : found->second;
}

void Contact::all(const ValuesByKind& values, std::int32_t kind,
                  std::vector<std::u16string>& list) {
    const auto [begin, end] = values.equal_range(kind);
    for (auto it = begin; it != end; ++it) {
        list.push_back(it->second);
    }
}

std::u16string Contact::phone(std::int32_t kind) const {
    return first(phones_, kind);
}

void Contact::phones(std::int32_t kind, std::vector<std::u16string>& list) const {
    all(phones_, kind, list);
}

std::u16string Contact::website() const {
    return websites_.empty() ? std::u16string() : websites_.front();
}

void Contact::websites(std::vector<std::u16string>& list) const {
    list.insert(list.end(), websites_.begin(), websites_.end());
}

std::u16string Contact::firstEmail() const {
    return emails_.empty() ? std::u16string() : emails_.begin()->second;
}

std::u16string Contact::email(std::int32_t kind) const {
    return first(emails_, kind);
}

void Contact::emails(std::int32_t kind, std::vector<std::u16string>& list) const {
    all(emails_, kind, list);
}

std::u16string Contact::address(std::int32_t kind) const {
    return first(addresses_, kind);
}

void Contact::addresses(std::int32_t kind, std::vector<std::u16string>& list) const {
    all(addresses_, kind, list);
}

void Contact::setText(std::int32_t field, const std::u16string& text) {
    switch (field) {
        case ContactField::GivenName:
            givenName_ = text;
            break;
        case ContactField::FamilyName:
            familyName_ = text;
            break;
        case ContactField::AdditionalName:
            additionalName_ = text;
            break;
        case ContactField::Birthday:
            birthday_ = text;
            break;
        case ContactField::Group:
            group_ = text;
            break;
        default:
            break;
    }
}

void Contact::addPhone(std::int32_t kind, const std::u16string& text) {
    add(phones_, kind, text);
}

void Contact::addEmail(std::int32_t kind, const std::u16string& text) {
    add(emails_, kind, text);
}

void Contact::addAddress(std::int32_t kind, const std::u16string& text) {
    add(addresses_, kind, text);
}

void Contact::addWebsite(const std::u16string& text) {
    websites_.push_back(text);
}

void Contact::addEntry() {
    // A count read from an untrusted phone must not overflow.
    if (entryCount_ < std::numeric_limits<std::int32_t>::max()) {
        ++entryCount_;
    }
}
