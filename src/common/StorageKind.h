#pragma once

#include <cstdint>

// Phonebook storages an export can read, as 32-bit kinds.
namespace storage_kind {
inline constexpr std::int32_t Memory = 1;  // the phone's own memory, phonebook storage "ME"
inline constexpr std::int32_t Sim = 2;     // the SIM card, phonebook storage "SM"
}  // namespace storage_kind
