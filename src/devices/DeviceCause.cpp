#include "devices/DeviceCause.h"

causes::PhoneCause deviceCause(DeviceState state, bool hasModel, const causes::PhoneCause& probed) {
    using causes::Cause;
    switch (state) {
        case DeviceState::StandardPhonebook:
        case DeviceState::ExtendedPhonebook:
            return {};
        case DeviceState::NoDriver:
            return {Cause::NoDriver};
        case DeviceState::OtherMode:
            return {Cause::OtherMode};
        case DeviceState::Found:
        case DeviceState::Unsupported:
            break;
    }
    if (probed.kind != Cause::None)
        return probed;
    return {hasModel ? Cause::MissingCommands : Cause::Unknown};
}

causes::PhoneCause deviceCause(const DEVICE_INFO_EX& device) {
    return deviceCause(device.state, !device.model.empty(), device.cause);
}
