#pragma once

#include <string>

#include "devices/DeviceInfoEx.h"

// A serial port attached by USB whose device is not the maker's (another vendor's modem or
// phone, a serial converter, a board or a GPS receiver), as sysfs describes it, without the
// port having been opened. Texts come from the device and are shown as they are, with control
// characters replaced by U+FFFD; an attribute the device does not have is empty.
struct UsbSerialPort {
    // The record the modem pass reports for the port (state Found, its device path, node and
    // root device, the vendor ID upper case): what to probe when the person asks for it.
    DEVICE_INFO_EX found;
    std::u16string ttyName;       // "ttyUSB0"
    std::u16string vendorId;      // the USB vendor ID as the device gives it: "12d1"
    std::u16string productId;     // "1506"
    std::u16string manufacturer;  // the device's manufacturer string
    std::u16string product;       // the device's product string
    std::u16string serial;        // the device's serial number string
    std::u16string driver;        // the driver of the port's USB interface: "option", "cdc_acm"
    std::u16string usbPort;       // where the device is plugged in, as the kernel names it: "1-2"
    std::u16string interfaceNumber;  // the port's USB interface: "00"

    bool operator==(const UsbSerialPort&) const = default;
};
