#include "serial_comm/MPBRESupportedRangeCommand.h"

#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

void MPBRESupportedRangeCommand::MPBRESupportedRangeCommandImpl::onValue(const std::string& value) {
    if (seenValue_)
        return;
    seenValue_ = true;
    const std::vector<std::string> items = splitList(value);
    if (items.empty())
        return;
    range_ = splitIndexRange(stripParentheses(items.front()));
    found_ = true;
}

std::string MPBRESupportedRangeCommand::testCommand() {
    return indexRangeCommand(kName);
}

void MPBRESupportedRangeCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
