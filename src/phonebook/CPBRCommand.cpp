#include "phonebook/CPBRCommand.h"

#include <utility>

#include "phonebook/CPBRStateMachine.h"
#include "serial_comm/ResponseParser.h"

namespace {
constexpr char kResponseName[] = "+CPBR";
}

CPBRCommand::CPBRCommand(std::u16string charsetName, PhoneMaker maker)
    : charsetName_(std::move(charsetName)), maker_(maker) {}

std::string CPBRCommand::responseName() const {
    return kResponseName;
}

void CPBRCommand::parse(const std::string& answer, IContactBuilder& builder) const {
    CPBRStateMachine machine(builder, charsetName_, maker_);
    serial_comm::parseResponse(machine, answer, kResponseName);
}
