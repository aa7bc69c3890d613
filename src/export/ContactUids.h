#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "common/StorageKind.h"
#include "export/IContact.h"

// The UIDs of the vCards of one export. A contact's UID is a name-based UUID (version 5) of the
// phone's IMEI, the contact's storage and the index of its first entry, so that a later export of
// the same phone gives the same card the same UID, while the IMEI itself cannot be read from it.
// A contact whose UID cannot be named so gets a random UUID (version 4): when the phone told no
// IMEI, when the contact has no index, and when a contact already written to the file had the
// same storage and index (a phone may send an index twice), since two cards of one file must
// never share a UID.
class ContactUids {
public:
    // imei: as the phone reported it; empty (or blank) when it told none.
    explicit ContactUids(const std::u16string& imei);

    // The UID for the contact, in lower-case hexadecimal with hyphens. Asking again for the same
    // contact before written() gives the same name-based UID (a random one is drawn anew).
    std::string uidFor(const IContact& contact) const;

    // The contact is in the file: no later contact gets its name-based UID.
    void written(const IContact& contact);

    // The name-based UUID of any name, in the program's own namespace.
    static std::string nameBased(const std::string& name);
    static std::string random();

private:
    using Place = std::pair<StorageKind, std::int64_t>;  // storage and index

    // Where the contact's name-based UID comes from; none when it cannot have one.
    std::optional<Place> placeOf(const IContact& contact) const;

    std::string imei_;
    std::set<Place> placesWritten_;
};
