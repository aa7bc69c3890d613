#pragma once

#include <filesystem>
#include <string>

#include "devices/DeviceRoots.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"

// The phones of `contaxio --demo`: the built-in simulated phone ("demo" scenario) on a
// pseudo-terminal, plugged into a temporary device tree as the maker's phone in modem mode, and
// after it a phone of another maker ("other-maker" scenario), which the device list shows when
// asked for other makers' devices. Pointing the device list at roots() lists them like real
// phones; everything goes when the object does.
class DemoPhone {
public:
    // Throws std::exception when no pseudo-terminal or temporary folder can be had.
    DemoPhone();

    DeviceRoots roots() const;
    // The folder of the temporary device tree.
    const std::filesystem::path& folder() const { return tree_.folder(); }
    // The modem's device path in the tree, as the device list knows the phone's port.
    const std::string& devicePath() const { return devicePath_; }

    // The simulated phone itself, for tests that hold its answers.
    phonesim::Simulator& phone() { return phone_; }
    // The other maker's phone, and its modem's device path in the tree.
    phonesim::Simulator& otherPhone() { return otherPhone_; }
    const std::string& otherDevicePath() const { return otherDevicePath_; }

    // Pulls the plug of the maker's phone as a user would: the port hangs up at once and the phone
    // leaves the device tree. Once only; later calls do nothing.
    void unplug();

private:
    phonesim::Simulator phone_;
    phonesim::Simulator otherPhone_;
    phonesim::SimulatedDeviceTree tree_;  // after the phone: unplugged before it stops
    std::string usbDevice_;
    std::string devicePath_;
    std::string otherDevicePath_;
    bool plugged_ = true;
};
