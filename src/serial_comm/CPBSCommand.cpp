#include "serial_comm/CPBSCommand.h"

#include "charsets/HexHabits.h"
#include "charsets/UCSHexEncoder.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/ResponseParser.h"
#include "serial_comm/SimStatus.h"

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

std::string CPBSCommand::setCommandInHex(std::string_view storageName) {
    const std::u16string name(storageName.begin(), storageName.end());
    return makeCommand(kName, quote(UCSHexEncoder().convert(name)), at::kSetSeparator);
}

std::vector<std::string> CPBSCommand::storageNames(PhoneMaker maker) const {
    std::vector<std::string> names = items();
    if (maker == PhoneMaker::Other)
        hex_habits::decodeNames(names);
    return names;
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

std::uint32_t selectStorage(Modem& modem, std::string_view storageName, PhoneMaker maker,
                            std::string& answer) {
    const std::uint32_t received = exchange(modem, CPBSCommand::setCommand(storageName), answer);
    if (maker != PhoneMaker::Other || received == 0 || holdsOk(answer))
        return received;
    const FinalResult result = finalResultOf(answer);
    if (!result.failed() || asksForSimPin(result))
        return received;
    return exchange(modem, CPBSCommand::setCommandInHex(storageName), answer);
}

}  // namespace serial_comm
