#pragma once

#include <string>

#include "phonebook/ContactRequest.h"

// Reads the standard phonebook (AT+CPBR): every entry becomes a contact of its own.
class CPBRCommand final : public ContactRequest {
public:
    // charsetName: the phone's current charset, e.g. "UCS2".
    explicit CPBRCommand(std::u16string charsetName);

    std::string responseName() const override;
    void parse(const std::string& answer, IContactBuilder& builder) const override;

private:
    std::u16string charsetName_;
};
