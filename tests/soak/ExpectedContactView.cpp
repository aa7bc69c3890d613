#include "ExpectedContactView.h"

namespace soak {

namespace {

std::u16string valueOf(const std::map<std::int32_t, std::u16string>& values, std::int32_t kind) {
    const auto found = values.find(kind);
    return found == values.end() ? std::u16string() : found->second;
}

void append(const std::map<std::int32_t, std::u16string>& values, std::int32_t kind,
            std::vector<std::u16string>& list) {
    const auto found = values.find(kind);
    if (found != values.end())
        list.push_back(found->second);
}

}  // namespace

std::u16string ExpectedContactView::phone(std::int32_t kind) const {
    return valueOf(contact_.phones, kind);
}

void ExpectedContactView::phones(std::int32_t kind, std::vector<std::u16string>& list) const {
    append(contact_.phones, kind, list);
}

std::u16string ExpectedContactView::firstEmail() const {
    return contact_.emails.empty() ? std::u16string() : contact_.emails.begin()->second;
}

std::u16string ExpectedContactView::email(std::int32_t kind) const {
    return valueOf(contact_.emails, kind);
}

void ExpectedContactView::emails(std::int32_t kind, std::vector<std::u16string>& list) const {
    append(contact_.emails, kind, list);
}

}  // namespace soak
