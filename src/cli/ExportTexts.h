#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/StorageKind.h"

// The words and counts that the progress display and the summary share, so that both speak of
// the same things the same way.
class ExportTexts {
public:
    // "phone memory", "SIM".
    static std::string storageName(StorageKind storageKind);
    // "Phone memory", "SIM".
    static std::string storageLabel(StorageKind storageKind);
    // "1 entry", "2 entries": count and noun, singular for exactly one.
    static std::string counted(std::int64_t count, std::string_view one, std::string_view many);
    // "120 of 250 places read": the places of the storage's phonebook read so far of all of them
    // (negative counts, as from a storage that never reported its range, count as 0).
    static std::string places(std::int32_t read, std::int32_t total);
};
