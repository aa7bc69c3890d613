#include "serial_comm/MODECommand.h"

#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

void MODECommand::MODECommandImpl::beginLine(const std::string& /*prefix*/) {
    mode_.clear();
    hasMode_ = false;
}

void MODECommand::MODECommandImpl::onValue(const std::string& value) {
    mode_ = value;
    hasMode_ = true;
}

std::string MODECommand::readCommand() {
    return makeCommand(kName, at::kQueryMark);
}

std::string MODECommand::setCommand(std::string_view mode) {
    return makeCommand(kName, mode, at::kSetSeparator);
}

void MODECommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
