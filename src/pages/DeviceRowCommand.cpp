#include "pages/DeviceRowCommand.h"

#include "causes/CauseTable.h"
#include "devices/DeviceCause.h"

DeviceRowCommand DeviceRowCommand::forDevice(const DEVICE_INFO_EX& device, bool askable) {
    DeviceRowCommand command;
    command.choosable = canBeRead(device.state) || askable;
    if (canBeRead(device.state)) {
        command.action = Action::SetAlias;
        return command;
    }
    command.cause = deviceCause(device);
    const std::int32_t topic = causes::entryOf(command.cause.kind).helpTopic;
    if (topic >= 0) {
        command.action = Action::ShowHelp;
        command.helpTopic = topic;
    }
    return command;
}
