#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "devices/DeviceInfoEx.h"
#include "devices/DeviceRoots.h"

// The outcome of listDevicesOnce.
struct DeviceListing {
    // The enumeration ended within the time given.
    bool complete = false;
    // The maker's devices found, one entry per phone, in device node order (see DeviceManager).
    std::vector<DEVICE_INFO_EX> devices;
    // Why the devices could not be read; empty when they could.
    std::string failure;
};

// One enumeration of the devices below roots with the maker's filter and the phone probes, as
// a device list page's first one: for a command that lists the phones once. Blocks until the
// enumeration has ended, or at most timeout (then complete is false, devices holds what was
// found so far, and the return waits for a probe under way to end).
DeviceListing listDevicesOnce(const DeviceRoots& roots, std::chrono::milliseconds timeout);
