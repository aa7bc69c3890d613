#include "serial_comm/CSCSCommand.h"

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

CSCSCommand::CSCSCommandImpl::CSCSCommandImpl() : ascii_(makeTextConverter(code_page::Ascii)) {}

void CSCSCommand::CSCSCommandImpl::beginLine(const std::string& /*prefix*/) {
    charsets_.clear();
}

void CSCSCommand::CSCSCommandImpl::onValue(const std::string& value) {
    for (const std::string& item : splitList(stripParentheses(value)))
        charsets_.push_back(ascii_->convert(unquote(item)));
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

void CSCSCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
