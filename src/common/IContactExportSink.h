#pragma once

#include <cstdint>

#include "common/ExportResult.h"
#include "common/StorageKind.h"

// Follows the export of the storages, one after another: each storage gets exactly one
// onExportStarted, then any number of onExportProgress, then exactly one onExportFinished.
// Called on a worker thread; must return quickly and must not call back into the phone manager.
class IContactExportSink {
public:
    // storage: the storage kind (Unknown when not known); usedEntries: the phone's count of used
    // entries; indexCount: the number of index positions that will be read.
    virtual void onExportStarted(StorageKind storage, std::int32_t usedEntries,
                                 std::int32_t indexCount) = 0;
    // entries: phonebook entries written so far; position: index positions read so far.
    virtual void onExportProgress(std::int32_t entries, std::int32_t position) = 0;
    virtual void onExportFinished(ExportResult result) = 0;
    virtual ~IContactExportSink() = default;
    // The serial port failed with this errno (0 when no call failed: the port was closed)
    // and so ends the storage's export; its onExportFinished follows. Ignored by default.
    virtual void onPortFailed(int /*code*/) {}
    // The storage could not be read because the SIM waits for its PIN (or PUK), which the
    // person must enter on the phone; its onExportFinished follows. Ignored by default.
    virtual void onSimLocked() {}
};
