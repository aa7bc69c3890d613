#pragma once

// Told that the device manager's list may have changed; the list itself is read with
// DeviceManager::snapshot. Called on the device manager's worker thread (and on the thread of
// whoever drives removals), so implementations only pass the news on (post it to their own
// thread) and return at once.
class IDeviceListSink {
public:
    virtual ~IDeviceListSink() = default;

    virtual void onListChanged() = 0;

protected:
    IDeviceListSink() = default;
    IDeviceListSink(const IDeviceListSink&) = default;
    IDeviceListSink& operator=(const IDeviceListSink&) = default;
};
