#pragma once

#include "devices/DeviceRoots.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"

// The phone of `contaxio --demo`: the built-in simulated phone ("demo" scenario) on a
// pseudo-terminal, plugged into a temporary device tree as the maker's phone in modem mode.
// Pointing the device list at roots() lists it like a real phone; everything goes when the
// object does.
class DemoPhone {
public:
    // Throws std::exception when no pseudo-terminal or temporary folder can be had.
    DemoPhone();

    DeviceRoots roots() const;

private:
    phonesim::Simulator phone_;
    phonesim::SimulatedDeviceTree tree_;  // after the phone: unplugged before it stops
};
