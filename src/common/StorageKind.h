#pragma once

#include <cstdint>

// Phonebook storages an export can read. The values are the storage kinds' codes, the same in
// every part of the program.
enum class StorageKind : std::int32_t {
    Unknown = 0,  // not known: what an export task reports, its statistics proxy fills it in
    Memory = 1,   // the phone's own memory, phonebook storage "ME"
    Sim = 2,      // the SIM card, phonebook storage "SM"
};
