#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "devices/DeviceInfoEx.h"
#include "devices/UsbSerialPort.h"

// The devices of other makers that the device list shows when the person asks for them: every
// serial port attached by USB that is not the maker's (DeviceManager::otherUsbSerialPorts),
// none of them opened until the person chooses one, and what asking a chosen one found.
//
// A board or a receiver can present the same USB interface as a modem, and bytes sent to it can
// do harm: only ask() opens a port, and the page calls it only for the device the person chose
// and clicked Next on.
class OtherMakersDevices {
public:
    // The ports attached now, in their order. What was found of a port is kept while the same
    // device stays on it, and forgotten when it goes or another device takes its place.
    void follow(const std::vector<UsbSerialPort>& ports);

    // The records to list, in port order. A port not asked yet: its record as the modem pass
    // found it (state Found), the device's USB manufacturer and product strings as its
    // manufacturer and model, and the cause NotAsked. A port asked: what the probe found (see
    // probeAskedPort), with the USB strings where the phone told neither its maker nor its
    // model.
    std::vector<DEVICE_INFO_EX> devices() const;

    // Whether node is one of these devices.
    bool contains(std::uint32_t node) const;

    // Asks the device of node whether it is a phone that can be read (probeAskedPort) and keeps
    // what was found, also when the port could not be opened (state Unsupported with the
    // cause). Blocks for the probe: a phone that answers takes well under a second, a silent
    // one a few seconds. Nothing for a node that is not one of these devices.
    std::optional<DEVICE_INFO_EX> ask(std::uint32_t node);

private:
    struct Entry {
        UsbSerialPort port;
        std::optional<DEVICE_INFO_EX> asked;
    };

    DEVICE_INFO_EX shown(const Entry& entry) const;

    std::vector<std::uint32_t> order_;
    std::map<std::uint32_t, Entry> entries_;
};
