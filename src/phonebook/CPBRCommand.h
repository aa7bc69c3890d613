#pragma once

#include <string>

#include "charsets/PhoneMaker.h"
#include "phonebook/ContactRequest.h"

// Reads the standard phonebook (AT+CPBR): every entry becomes a contact of its own.
class CPBRCommand final : public ContactRequest {
public:
    // charsetName: the phone's current charset, e.g. "UCS2". maker: whose phone it is, which
    // decides the habits its names and numbers are mended of (PhoneTextDecoders).
    explicit CPBRCommand(std::u16string charsetName, PhoneMaker maker = PhoneMaker::Own);

    std::string responseName() const override;
    void parse(const std::string& answer, IContactBuilder& builder) const override;

private:
    std::u16string charsetName_;
    PhoneMaker maker_;
};
