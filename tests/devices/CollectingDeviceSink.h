#pragma once

#include <vector>

#include "devices/DeviceInfoEx.h"
#include "devices/IEnumDeviceSink.h"

// Keeps the records of an enumeration in the order they came.
class CollectingDeviceSink : public IEnumDeviceSink {
public:
    void onDevice(const DEVICE_INFO_EX& device) override { records.push_back(device); }

    std::vector<DEVICE_INFO_EX> records;
};
