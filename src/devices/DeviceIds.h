#pragma once

#include <array>
#include <string>
#include <string_view>

// The maker's marks in the system's device IDs, searched in this order: the vendor part of a
// mass-storage device ID and the vendor part of a USB device ID.
inline constexpr std::array<std::u16string_view, 2> kZuvoDeviceMarkers{u"VEN_KORVANTA",
                                                                       u"VID_3C5F"};

// True when the device instance ID (enumerator, backslash, hardware part, backslash, ...) names
// one of the maker's devices: its second part holds one of the markers (case-sensitive), as in
// USB\VID_3C5F&PID_7D19\<serial> or USBSTOR\DISK&VEN_KORVANTA&PROD_<product>\<serial>.
bool isZuvoDevice(std::u16string_view instanceId);

// The USB vendor ID in a device path: the (up to) four code units after the first "VID_",
// found and returned in ASCII upper case; empty when the path holds no "VID_".
std::u16string vendorIdOf(std::u16string_view devicePath);
