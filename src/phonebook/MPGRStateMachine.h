#pragma once

#include <cstdint>
#include <string>

#include "phonebook/GroupTable.h"
#include "phonebook/PhoneTextDecoders.h"
#include "serial_comm/ParseResponseSink.h"

// Reads the lines of an AT+MPGR answer (+MPGR: number,name) into a group table; a number read
// again replaces the earlier name. Feed it with parseResponse(machine, answer, "+MPGR").
class MPGRStateMachine final : public serial_comm::ParseResponseSink {
public:
    // groups: the table to fill (not owned). charsetName: the phone's current charset.
    MPGRStateMachine(GroupTable& groups, const std::u16string& charsetName);

    void beginLine(const std::string& prefix) override;
    void onValue(const std::string& value) override;
    void endLine() override;
    void onResult(bool failed) override;

private:
    std::int32_t valueIndex_ = 0;
    std::int32_t groupNumber_ = 0;
    GroupTable* groups_;
    PhoneTextDecoders decoders_;
};
