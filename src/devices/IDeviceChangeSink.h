#pragma once

#include "devices/DeviceNotice.h"

// Receives device-change notices (from UeventMonitor, or from a test feeding them), on the
// notifier's thread: implementations pass the notice on to their own thread and return.
class IDeviceChangeSink {
public:
    virtual ~IDeviceChangeSink() = default;

    virtual void onDeviceChange(const DeviceNotice& notice) = 0;

protected:
    IDeviceChangeSink() = default;
    IDeviceChangeSink(const IDeviceChangeSink&) = default;
    IDeviceChangeSink& operator=(const IDeviceChangeSink&) = default;
};
