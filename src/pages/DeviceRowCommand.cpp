#include "pages/DeviceRowCommand.h"

#include "app/UiTextIds.h"

DeviceRowCommand DeviceRowCommand::forState(DeviceState state) {
    switch (state) {
        case DeviceState::NoDriver:
            return {Action::ShowHelp, 2, ui_text::NoDriverTip};
        case DeviceState::OtherMode:
            return {Action::ShowHelp, 3, ui_text::OtherModeTip};
        case DeviceState::Unsupported:
            return {Action::ShowHelp, 4, ui_text::NotSupportedTip};
        case DeviceState::StandardPhonebook:
        case DeviceState::ExtendedPhonebook:
            return {Action::SetAlias, 0, std::nullopt};
        case DeviceState::Found:
            break;
    }
    return {};
}
