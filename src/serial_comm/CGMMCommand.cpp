#include "serial_comm/CGMMCommand.h"

#include "charsets/CodePages.h"
#include "charsets/ConverterFactory.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/ResponseParser.h"

namespace serial_comm {

namespace {

constexpr std::string_view kModelKey = "MODEL=";

}  // namespace

CGMMCommand::CGMMCommandImpl::CGMMCommandImpl() : ascii_(makeTextConverter(code_page::Ascii)) {}

void CGMMCommand::CGMMCommandImpl::beginLine(const std::string& /*prefix*/) {
    model_.clear();
}

void CGMMCommand::CGMMCommandImpl::onValue(const std::string& value) {
    for (const std::string& each : splitList(value)) {
        const std::string item = unquote(stripAngleBrackets(each));
        if (!item.starts_with(kModelKey))
            continue;
        if (item.size() > kModelKey.size())
            model_ = ascii_->convert(item.substr(kModelKey.size()));
        return;
    }
}

std::string CGMMCommand::actionCommand() {
    return makeCommand(kName);
}

void CGMMCommand::parse(std::string_view answer) {
    parseResponse(impl_, answer, kName);
}

}  // namespace serial_comm
