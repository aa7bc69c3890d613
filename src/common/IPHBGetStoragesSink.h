#pragma once

#include <cstdint>
#include <vector>

// Receives the phonebook storages a phone offers. Called on a worker thread; must return
// quickly and must not call back into the phone manager.
class IPHBGetStoragesSink {
public:
    // The storage kinds (storage_kind::Memory, storage_kind::Sim) the phone offers, in the
    // phone's order.
    virtual void onStorages(const std::vector<std::int32_t>& storages) = 0;
    virtual ~IPHBGetStoragesSink() = default;
};
