#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/StorageKind.h"

// The phonebook storages the program reads, by the names phones give them: "ME" (the phone's
// own memory) is StorageKind::Memory and "SM" (the SIM) is StorageKind::Sim. Names are
// compared exactly, case included.
namespace serial_comm {

// The kind of a storage name; nothing for a name the table does not hold.
std::optional<StorageKind> storageKindOf(std::string_view name);

// The storage name of a kind; nothing for a kind the table does not hold.
std::optional<std::string> storageNameOf(StorageKind kind);

// The kinds of the names the table holds, in the order given; other names are dropped.
std::vector<StorageKind> storageKindsOf(const std::vector<std::string>& names);

}  // namespace serial_comm
