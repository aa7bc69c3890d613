#include "tasks/PhoneGetCharsetsTask.h"

#include <string>
#include <vector>

#include "charsets/CharsetChoice.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/SerialPortException.h"

PhoneGetCharsetsTask::PhoneGetCharsetsTask(serial_comm::Modem& modem, IPhoneGetCharsetsSink& sink,
                                           PhoneMaker maker)
    : modem_(&modem), sink_(&sink), maker_(maker) {}

void PhoneGetCharsetsTask::run() {
    std::vector<std::u16string> decodable;
    try {
        std::string answer;
        if (serial_comm::exchange(*modem_, serial_comm::CSCSCommand::testCommand(), answer) == 0)
            return;
        serial_comm::CSCSCommand command;
        command.parse(answer);
        if (!command.succeeded())
            return;
        decodable = readableCharsets(command.charsets(), maker_);
    } catch (const serial_comm::SerialPortException&) {
        return;
    }
    sink_->onCharsets(decodable);
}
