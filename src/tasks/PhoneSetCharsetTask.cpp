#include "tasks/PhoneSetCharsetTask.h"

#include <utility>

#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/SerialPortException.h"

PhoneSetCharsetTask::PhoneSetCharsetTask(std::u16string charsetName, serial_comm::Modem& modem)
    : charsetName_(std::move(charsetName)), modem_(&modem) {}

void PhoneSetCharsetTask::run() {
    try {
        std::string answer;
        serial_comm::exchange(*modem_, serial_comm::CSCSCommand::setCommand(charsetName_), answer);
    } catch (const serial_comm::SerialPortException&) {
        // The export tasks behind this one report the port's failure.
    }
}
