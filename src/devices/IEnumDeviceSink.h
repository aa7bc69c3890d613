#pragma once

#include "devices/DeviceInfoEx.h"

// Receives the records of an enumeration, one call per device found, on the enumerating thread.
class IEnumDeviceSink {
public:
    virtual ~IEnumDeviceSink() = default;

    virtual void onDevice(const DEVICE_INFO_EX& device) = 0;

protected:
    IEnumDeviceSink() = default;
    IEnumDeviceSink(const IEnumDeviceSink&) = default;
    IEnumDeviceSink& operator=(const IEnumDeviceSink&) = default;
};
