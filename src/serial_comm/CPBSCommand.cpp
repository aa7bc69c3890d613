#include "serial_comm/CPBSCommand.h"

#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

void CPBSCommand::CPBSCommandImpl::beginLine(const std::string& /*prefix*/) {
    items_.clear();
}

void CPBSCommand::CPBSCommandImpl::onValue(const std::string& value) {
    for (const std::string& item : splitList(stripParentheses(value)))
        items_.push_back(unquote(item));
}

std::string CPBSCommand::testCommand() {
    return makeCommand(kName, at::kQueryMark, at::kSetSeparator);
}

std::string CPBSCommand::readCommand() {
    return makeCommand(kName, at::kQueryMark);
}

std::string CPBSCommand::setCommand(std::string_view storageName) {
    return makeCommand(kName, quote(storageName), at::kSetSeparator);
}

void CPBSCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

StorageFill storageFill(const std::vector<std::string>& items) {
    StorageFill fill;
    if (items.size() < 3)
        return fill;
    fill.name = items[0];
    fill.used = atoi32(items[1]);
    fill.total = atoi32(items[2]);
    return fill;
}

}  // namespace serial_comm
