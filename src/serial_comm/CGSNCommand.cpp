#include "serial_comm/CGSNCommand.h"

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

CGSNCommand::CGSNCommandImpl::CGSNCommandImpl() : ascii_(makeTextConverter(code_page::Ascii)) {}

void CGSNCommand::CGSNCommandImpl::onValue(const std::string& value) {
    serialNumber_ = ascii_->convert(stripAngleBrackets(value));
}

std::string CGSNCommand::actionCommand() {
    return makeCommand(kName);
}

void CGSNCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
