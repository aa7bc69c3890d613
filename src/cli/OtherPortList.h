#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "devices/UsbSerialPort.h"

// What `contaxio-cli list --all` adds after the phones: every other serial port attached by
// USB, as sysfs describes it, none of them opened. For people a line per port with the hint
// that tells how to ask it,
//
//   not probed: Nordlicht NL-200, USB 1f6e:4c20, serial NL200A0000001, driver cdc_acm,
//   USB port 1-4, port /dev/ttyACM1
//     hint: it is not the maker's device, so it is opened only when you ask for it, ...
//
// (one line before the hint), and for scripts an object per port with the keys of a phone
// (state 0 "Found", reason "not-asked"), "probed": false and the USB facts under "usb". What came
// from the device is shown with control characters escaped (text) or as JSON strings.
class OtherPortList {
public:
    // The port's line and its hint line, each ended.
    static std::string text(const UsbSerialPort& port);
    // The port's object in the listing's array.
    static nlohmann::ordered_json json(const UsbSerialPort& port);
};
