#pragma once

#include "devices/DeviceFilter.h"

namespace device_filter {

// Accepts the maker's modems: those whose vendor ID is exactly "3C5F".
class ZuvoDeviceFilter : public DeviceFilter {
public:
    bool accept(const DEVICE_INFO_EX& device) const override;
};

}  // namespace device_filter
