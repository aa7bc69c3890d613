#pragma once

#include <cstdint>

// How far a device found among the system's devices can be used. The device list shows states
// 1 to 5 and lets the user pick only a phone in state 4 or 5.
enum class DeviceState : std::int32_t {
    Found = 0,              // a modem, not probed yet
    NoDriver = 1,           // a USB device of the maker without a driver
    OtherMode = 2,          // a device of the maker that is not in modem mode (mass storage, ...)
    Unsupported = 3,        // a modem of the maker that cannot be opened or read
    StandardPhonebook = 4,  // a phone read with the standard phonebook commands
    ExtendedPhonebook = 5,  // a phone read with the extended phonebook commands
};

// Whether a phone in this state can be read (standard or extended phonebook): the one thing
// that decides whether it may be chosen, exported or probed further.
constexpr bool canBeRead(DeviceState state) {
    return state == DeviceState::StandardPhonebook || state == DeviceState::ExtendedPhonebook;
}
