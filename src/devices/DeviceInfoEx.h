#pragma once

#include <cstdint>
#include <string>

#include "causes/Cause.h"
#include "devices/DeviceState.h"

// The record of one device found among the system's devices; copied by value.
struct DEVICE_INFO_EX {
    // How many more times the phone probe may run for this device.
    std::int32_t retriesLeft = 10;
    // The top-most ancestor that is still the maker's device; the interfaces of one physical
    // phone share it.
    std::uint32_t rootDevice = 0;
    // The device's own node: the device list's key.
    std::uint32_t device = 0;
    // The modem's port (the name the serial layer opens); empty for devices that are not modems.
    std::u16string devicePath;
    // The four characters after "VID_" in the upper-cased path (e.g. 3C5F); empty without one.
    std::u16string vendorId;
    DeviceState state = DeviceState::Found;
    // The phone's serial number (AT+CGSN); empty until the probe has read a model.
    std::u16string imei;
    // The phone's model (AT+CGMM); empty until probed.
    std::u16string model;
    // Why the probe found the phone cannot be read (kind None when it can, or before a probe):
    // the port did not open, the phone did not answer or refused, or it lacks commands.
    causes::PhoneCause cause;
    // The probe found a phone of another maker: one read with the standard phonebook commands
    // only, which is never sent the maker's mode command. False for the maker's phones.
    bool otherMaker = false;
    // Another maker's phone's manufacturer (AT+CGMI), shown before the model; empty for the
    // maker's phones, which are not asked.
    std::u16string manufacturer;

    bool operator==(const DEVICE_INFO_EX&) const = default;
};
