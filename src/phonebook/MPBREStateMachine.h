#pragma once

#include <cstdint>
#include <string>

#include "phonebook/GroupTable.h"
#include "phonebook/PhoneTextDecoders.h"
#include "serial_comm/ParseResponseSink.h"

class IContactBuilder;

// Turns the lines of one AT+MPBRE answer into contacts. Each line carries one value (phone
// number, e-mail, postal or web address, by the line's entry type) and, on the first line of an
// index, the contact's other fields; consecutive lines with the same index make one contact.
// A contact is finished when the index changes and at the result line; an answer cut off
// before its result line leaves its last contact unfinished.
class MPBREStateMachine final : public serial_comm::ParseResponseSink {
public:
    // groups: not owned, may be null (no group names).
    MPBREStateMachine(IContactBuilder& builder, const std::u16string& charsetName,
                      const GroupTable* groups, bool isSim);

    void beginLine(const std::string& prefix) override;
    void onValue(const std::string& value) override;
    void endLine() override;
    // Finishes the contact being built, after either result.
    void onResult(bool failed) override;

private:
    // Value 0: continues the current contact, or finishes it and begins the next one.
    void onIndex(const std::string& value);
    void onNumber(const std::string& value);
    void onEntryType(const std::string& value);
    void onGroup(const std::string& value);
    void onGivenNameLength(const std::string& value);
    void onAddressPart(std::int32_t part, const std::string& value);
    void setSingle(std::int32_t field, const std::u16string& text);
    void addMulti(std::int32_t field, std::int32_t kind, const std::u16string& text);

    std::int32_t valueIndex_ = 0;
    // The index of the contact being built; empty exactly when no contact is open.
    std::string currentIndex_;
    std::u16string name_;
    std::u16string number_;
    bool newContact_ = true;
    std::u16string address_;
    bool addressPresent_ = false;
    IContactBuilder* builder_;
    PhoneTextDecoders decoders_;
    const GroupTable* groups_;
    bool isSim_;
    // The current line belongs to an open contact; a line without an index value belongs to
    // none and its values are dropped.
    bool lineInContact_ = false;
};
