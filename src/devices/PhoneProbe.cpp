#include "devices/PhoneProbe.h"

#include <string>
#include <utility>

#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/ModeSwitch.h"
#include "serial_comm/Modem.h"
#include "serial_comm/PhoneSupportLevel.h"
#include "tasks/ModemLease.h"

using serial_comm::CGMMCommand;
using serial_comm::CGSNCommand;
using serial_comm::Modem;

bool probePhone(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result) {
    result.state = DeviceState::Unsupported;
    result.device = found.device;
    result.devicePath = found.devicePath;
    result.vendorId = found.vendorId;
    // Nothing from an earlier probe may stand for this one.
    result.model.clear();
    result.imei.clear();
    if (!filter.accept(result))
        return false;

    ModemLease lease(result.devicePath, kProbeLeasePriority);
    Modem& modem = lease.modem();

    if (!serial_comm::switchToReadingMode(modem, serial_comm::ModeAnswers::MustHoldOk).completed)
        return true;

    result.state = static_cast<DeviceState>(serial_comm::phoneSupportLevel(modem));

    std::u16string model;
    std::u16string imei;
    std::string answer;
    if (serial_comm::exchange(modem, CGMMCommand::actionCommand(), answer) != 0) {
        CGMMCommand command;
        command.parse(answer);
        model = command.model();
    }
    if (serial_comm::exchange(modem, CGSNCommand::actionCommand(), answer) != 0) {
        CGSNCommand command;
        command.parse(answer);
        imei = command.serialNumber();
    }
    serial_comm::switchToIdleMode(modem);

    // A serial number counts only for a phone that told its model.
    result.model = std::move(model);
    if (!result.model.empty())
        result.imei = std::move(imei);
    return true;
}
