#pragma once

#include <cstdint>
#include <vector>

#include "common/StorageKind.h"

// Receives the phonebook storages a phone offers. Called on a worker thread; must return
// quickly and must not call back into the phone manager.
class IPHBGetStoragesSink {
public:
    // The storage kinds the phone offers, in the phone's order.
    virtual void onStorages(const std::vector<StorageKind>& storages) = 0;
    virtual ~IPHBGetStoragesSink() = default;
};
