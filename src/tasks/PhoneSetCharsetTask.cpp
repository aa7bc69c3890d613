#include "tasks/PhoneSetCharsetTask.h"

#include <cstdint>
#include <utility>

#include "serial_comm/AtValues.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/SerialPortException.h"

PhoneSetCharsetTask::PhoneSetCharsetTask(std::u16string charsetName, serial_comm::Modem& modem,
                                         PhoneMaker maker)
    : charsetName_(std::move(charsetName)), modem_(&modem), maker_(maker) {}

void PhoneSetCharsetTask::run() {
    using serial_comm::CSCSCommand;
    try {
        std::string answer;
        const std::uint32_t received =
            serial_comm::exchange(*modem_, CSCSCommand::setCommand(charsetName_), answer);
        if (maker_ == PhoneMaker::Other && received > 0 && !serial_comm::holdsOk(answer)) {
            serial_comm::exchange(*modem_, CSCSCommand::setCommandInHex(charsetName_), answer);
        }
    } catch (const serial_comm::SerialPortException&) {
        // The export tasks behind this one report the port's failure.
    }
}
