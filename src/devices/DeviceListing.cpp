#include "devices/DeviceListing.h"

#include <memory>

#include "devices/DeviceManager.h"
#include "devices/ZuvoDeviceFilter.h"

DeviceListing listDevicesOnce(const DeviceRoots& roots, std::chrono::milliseconds timeout) {
    DeviceManager manager(std::make_unique<device_filter::ZuvoDeviceFilter>(), roots);
    DeviceListing listing;
    manager.enumerate(nullptr);
    listing.complete = manager.waitForQueued(timeout);
    listing.devices = manager.snapshot();
    listing.failure = manager.lastEnumerationFailure();
    return listing;
}
