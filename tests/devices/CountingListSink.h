#pragma once

#include <atomic>

#include "devices/IDeviceListSink.h"

// Counts the list's change notices; safe to read from the test's thread.
class CountingListSink : public IDeviceListSink {
public:
    void onListChanged() override { ++count; }

    std::atomic<int> count{0};
};
