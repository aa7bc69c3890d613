#include "serial_comm/CSCSCommand.h"

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "charsets/HexHabits.h"
#include "charsets/UCSHexEncoder.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

CSCSCommand::CSCSCommandImpl::CSCSCommandImpl() : ascii_(makeTextConverter(code_page::Ascii)) {}

void CSCSCommand::CSCSCommandImpl::beginLine(const std::string& /*prefix*/) {
    items_.clear();
    charsets_.clear();
    listedInHex_ = false;
}

void CSCSCommand::CSCSCommandImpl::onValue(const std::string& value) {
    for (const std::string& item : splitList(stripParentheses(value))) {
        items_.push_back(unquote(item));
        charsets_.push_back(ascii_->convert(items_.back()));
    }
}

void CSCSCommand::CSCSCommandImpl::endLine() {
    listedInHex_ = hex_habits::decodeNames(items_);
    if (!listedInHex_)
        return;
    charsets_.clear();
    for (const std::string& name : items_)
        charsets_.push_back(ascii_->convert(name));
}

std::string CSCSCommand::testCommand() {
    return makeCommand(kName, at::kQueryMark, at::kSetSeparator);
}

std::string CSCSCommand::setCommand(const std::u16string& charsetName) {
    // The ASCII encoder always exists; the guard only keeps a broken table from crashing here.
    const auto encoder = makeEncoder(u"ASCII");
    const std::string name = encoder ? encoder->convert(charsetName) : std::string();
    return makeCommand(kName, quote(name), at::kSetSeparator);
}

std::string CSCSCommand::setCommandInHex(const std::u16string& charsetName) {
    return makeCommand(kName, quote(UCSHexEncoder().convert(charsetName)), at::kSetSeparator);
}

void CSCSCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
