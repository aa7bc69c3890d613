#pragma once

#include <string>

#include "phonebook/ContactRequest.h"
#include "phonebook/GroupTable.h"

// Reads the extended phonebook (AT+MPBRE): all lines of one index become one contact, with its
// group name taken from the group table.
class MPBRERequest final : public ContactRequest {
public:
    // charsetName: the phone's current charset. groups: the group names read beforehand (not
    // owned; must outlive every parse; null reads as an empty table). isSim: the storage read is
    // the SIM, whose phone numbers are all filed as mobile numbers.
    MPBRERequest(std::u16string charsetName, const GroupTable* groups, bool isSim);

    std::string responseName() const override;
    void parse(const std::string& answer, IContactBuilder& builder) const override;

private:
    std::u16string charsetName_;
    const GroupTable* groups_;
    bool isSim_;
};
