#pragma once

#include <cstdint>
#include <string>

// A change among the system's devices that a device list follows: what happened, and for a tty
// its device path. The kinds carry the numbers of the device-change events they stand for.
struct DeviceNotice {
    enum class Kind : std::uint32_t {
        // Devices came, went or changed their driver: enumerate again soon.
        DevNodesChanged = 0x0007,
        // A tty arrived: enumerate again soon.
        DeviceArrival = 0x8000,
        // A tty went: forget the device of devicePath (DeviceManager::removeByPath) now.
        DeviceRemoveComplete = 0x8004,
    };

    Kind kind = Kind::DevNodesChanged;
    // For a tty: the dev root and its device name, as the enumeration builds device paths.
    std::u16string devicePath;
    // The device's folder below the sysfs root, as the kernel named it ("/devices/...").
    std::string sysfsPath;

    bool operator==(const DeviceNotice&) const = default;
};
