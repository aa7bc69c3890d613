#pragma once

#include <cstdint>

#include "causes/Cause.h"
#include "devices/DeviceInfoEx.h"

// What the device list offers for a device: whether Next may be clicked, what its in-row button
// does, and why it cannot be used (told over its row).
struct DeviceRowCommand {
    enum class Action {
        None,      // nothing
        SetAlias,  // a usable phone: the alias dialog ("...")
        ShowHelp,  // a device that cannot be used (yet): the help topic of its cause ("?")
    };

    Action action = Action::None;
    std::int32_t helpTopic = 0;  // for ShowHelp
    // Why the device cannot be used (see deviceCause); kind None for a usable phone, which has
    // no tooltip.
    causes::PhoneCause cause;
    // Next may be clicked: a usable phone, or a device of another maker, which Next asks first.
    bool choosable = false;

    // askable: the device is one of other makers' (see OtherMakersDevices), which Next asks
    // every time, so that a phone unlocked or switched on meanwhile can be chosen.
    static DeviceRowCommand forDevice(const DEVICE_INFO_EX& device, bool askable = false);
};
