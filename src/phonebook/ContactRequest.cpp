#include "phonebook/ContactRequest.h"

#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"

std::string ContactRequest::makeReadCommand(std::string_view rangeText) const {
    return serial_comm::makeCommand(responseName(), rangeText, serial_comm::at::kSetSeparator);
}
