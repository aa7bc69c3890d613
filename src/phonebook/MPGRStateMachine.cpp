#include "phonebook/MPGRStateMachine.h"

#include "serial_comm/AtValues.h"

namespace {
enum MpgrValue : std::int32_t { kNumber = 0, kName = 1, kIgnored = 2 };
}

MPGRStateMachine::MPGRStateMachine(GroupTable& groups, const std::u16string& charsetName)
    : groups_(&groups), decoders_(charsetName) {}

void MPGRStateMachine::beginLine(const std::string&) {
    valueIndex_ = 0;
    groupNumber_ = 0;
}

void MPGRStateMachine::onValue(const std::string& value) {
    if (valueIndex_ == kNumber) {
        groupNumber_ = serial_comm::atoi32(value);
    } else if (valueIndex_ == kName) {
        (*groups_)[groupNumber_] = decoders_.decodeText(value);
    }
    if (valueIndex_ < kIgnored) {
        ++valueIndex_;
    }
}

void MPGRStateMachine::endLine() {}

void MPGRStateMachine::onResult(bool) {}
