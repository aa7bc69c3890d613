#pragma once

#include "devices/DeviceFilter.h"

// Lets every device through to the probe. The person named the port on the command line, so
// it is probed whatever its vendor (a simulated phone on a pseudo-terminal has none).
class AnyPortFilter final : public device_filter::DeviceFilter {
public:
    bool accept(const DEVICE_INFO_EX& device) const override;
};
