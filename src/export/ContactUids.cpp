#include "export/ContactUids.h"

#include <uuid/uuid.h>

#include <array>

#include "charsets/TextCodec.h"

namespace {

// The namespace of the name-based UIDs: drawn once, at random, for this program; it must never
// change, or every address book would take the cards of the next export for new ones.
constexpr char kUidNamespace[] = "4dfe1e0a-b338-4dfd-8b99-2a95f6d34738";

std::string unparsed(const uuid_t uuid) {
    char text[37] = {};
    uuid_unparse_lower(uuid, text);
    return text;
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

ContactUids::ContactUids(const std::u16string& imei) : imei_(text_codec::toUtf8(imei)) {
    if (isBlank(imei_)) {
        imei_.clear();
    }
}

std::string ContactUids::nameBased(const std::string& name) {
    static const auto space = [] {
        std::array<unsigned char, 16> uuid{};
        uuid_parse(kUidNamespace, uuid.data());
        return uuid;
    }();
    uuid_t uuid;
    uuid_generate_sha1(uuid, space.data(), name.data(), name.size());
    return unparsed(uuid);
}

std::string ContactUids::random() {
    uuid_t uuid;
    uuid_generate_random(uuid);
    return unparsed(uuid);
}

std::optional<ContactUids::Place> ContactUids::placeOf(const IContact& contact) const {
    const std::optional<std::int64_t> index = contact.firstIndex();
    if (imei_.empty() || !index) {
        return std::nullopt;
    }
    return Place{contact.storage(), *index};
}

std::string ContactUids::uidFor(const IContact& contact) const {
    const std::optional<Place> place = placeOf(contact);
    if (!place || placesWritten_.contains(*place)) {
        return random();
    }
    return nameBased(imei_ + "/" + std::to_string(static_cast<std::int32_t>(place->first)) + "/" +
                     std::to_string(place->second));
}

void ContactUids::written(const IContact& contact) {
    if (const std::optional<Place> place = placeOf(contact)) {
        placesWritten_.insert(*place);
    }
}
