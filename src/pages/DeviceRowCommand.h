#pragma once

#include <cstdint>
#include <optional>

#include "devices/DeviceState.h"

// What the device list offers for a phone in a given state: whether it can be chosen, what its
// in-row button does and says, and the tooltip over its row.
struct DeviceRowCommand {
    enum class Action {
        None,      // nothing (a state the list does not offer anything for)
        SetAlias,  // a usable phone: the alias dialog ("...")
        ShowHelp,  // an attached phone that cannot be used: its help topic ("?")
    };

    Action action = Action::None;
    std::int32_t helpTopic = 0;              // for ShowHelp
    std::optional<std::uint32_t> tooltipId;  // the UI text over the row, if any

    static DeviceRowCommand forState(DeviceState state);
};
