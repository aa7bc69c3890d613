#include "devices/PhoneProbe.h"

#include <string>
#include <utility>

#include "causes/CauseTable.h"
#include "causes/PortHolder.h"
#include "charsets/TextCodec.h"
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
using serial_comm::SerialPortException;

namespace {

// The probe's lease on the port; a port that cannot be had leaves its cause in result.
ModemLease leasePort(DEVICE_INFO_EX& result) {
    try {
        return ModemLease(result.devicePath, kProbeLeasePriority);
    } catch (const SerialPortException& failure) {
        result.cause =
            causes::openCause(text_codec::toUtf8(result.devicePath), failure.openError());
        throw;
    }
}

// The probe; opened tells, when an exception leaves it, whether the port was had.
bool probeSteps(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result, bool& opened) {
    result.state = DeviceState::Unsupported;
    result.device = found.device;
    result.devicePath = found.devicePath;
    result.vendorId = found.vendorId;
    // Nothing from an earlier probe may stand for this one.
    result.model.clear();
    result.imei.clear();
    result.cause = {};
    if (!filter.accept(result))
        return false;

    ModemLease lease = leasePort(result);
    opened = true;
    Modem& modem = lease.modem();

    const serial_comm::ModeSwitchOutcome mode =
        serial_comm::switchToReadingMode(modem, serial_comm::ModeAnswers::MustHoldOk);
    if (!mode.completed) {
        result.cause = mode.refused ? causes::Cause::RefusedMode : causes::Cause::Silent;
        return true;
    }

    bool answered = false;
    result.state = static_cast<DeviceState>(serial_comm::phoneSupportLevel(modem, &answered));
    if (result.state == DeviceState::Unsupported)
        result.cause = answered ? causes::Cause::MissingCommands : causes::Cause::Silent;

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

}  // namespace

bool probePhone(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result) {
    bool opened = false;
    try {
        return probeSteps(filter, found, result, opened);
    } catch (const SerialPortException& failure) {
        // A port that was had and failed on the way (one that was not had told its cause).
        if (opened)
            result.cause = {causes::causeOfPortFailure(failure.code()), failure.code()};
        throw;
    }
}
