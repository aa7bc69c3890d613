#pragma once

#include "causes/Cause.h"
#include "devices/DeviceInfoEx.h"
#include "devices/DeviceState.h"

// Why a device of the list cannot be read: None for a usable phone (state 4 or 5); else the
// cause its probe kept, or, for a record without one, what its state tells (no driver, another
// USB mode, a phone that named its model but lacks commands, or Unknown).
causes::PhoneCause deviceCause(DeviceState state, bool hasModel, const causes::PhoneCause& probed);
causes::PhoneCause deviceCause(const DEVICE_INFO_EX& device);
