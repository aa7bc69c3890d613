#pragma once

#include "devices/DeviceInfoEx.h"

namespace device_filter {

// Decides which of the modems found are worth probing.
class DeviceFilter {
public:
    virtual ~DeviceFilter() = default;

    virtual bool accept(const DEVICE_INFO_EX& device) const = 0;

protected:
    DeviceFilter() = default;
    DeviceFilter(const DeviceFilter&) = default;
    DeviceFilter& operator=(const DeviceFilter&) = default;
};

}  // namespace device_filter
