#include "ui/DeviceRowCommand.h"

DeviceRowCommand DeviceRowCommand::forState(DeviceState state) {
    switch (state) {
        case DeviceState::NoDriver:
            return {Action::ShowHelp, 2, 10277};
        case DeviceState::OtherMode:
            return {Action::ShowHelp, 3, 10276};
        case DeviceState::Unsupported:
            return {Action::ShowHelp, 4, 10275};
        case DeviceState::StandardPhonebook:
        case DeviceState::ExtendedPhonebook:
            return {Action::SetAlias, 0, std::nullopt};
        case DeviceState::Found:
            break;
    }
    return {};
}
