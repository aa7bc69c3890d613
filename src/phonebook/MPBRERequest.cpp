#include "phonebook/MPBRERequest.h"

#include <utility>

#include "phonebook/MPBREStateMachine.h"
#include "serial_comm/ResponseParser.h"

namespace {
constexpr char kResponseName[] = "+MPBRE";
}

MPBRERequest::MPBRERequest(std::u16string charsetName, const GroupTable* groups, bool isSim)
    : charsetName_(std::move(charsetName)), groups_(groups), isSim_(isSim) {}

std::string MPBRERequest::responseName() const {
    return kResponseName;
}

void MPBRERequest::parse(const std::string& answer, IContactBuilder& builder) const {
    MPBREStateMachine machine(builder, charsetName_, groups_, isSim_);
    serial_comm::parseResponse(machine, answer, kResponseName);
}
