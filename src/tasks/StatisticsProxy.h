#pragma once

#include <cstdint>

#include "common/IContactExportSink.h"
#include "tasks/ExportStatisticsMap.h"

// Stands between the export task of one storage and the user interface's export sink: keeps
// the storage's statistics record up to date and forwards what the user interface needs, with
// the storage kind filled in. Called on the worker thread.
class StatisticsProxy final : public IContactExportSink {
public:
    // statistics and exportSink are not owned and must outlive the proxy's use.
    StatisticsProxy(ExportStatisticsMap& statistics, StorageKind storageKind,
                    IContactExportSink& exportSink);

    // Starts the storage's record afresh with the used entries and reports the start with the
    // proxy's storage kind (the task does not know it and passes Unknown).
    void onExportStarted(StorageKind storage, std::int32_t usedEntries,
                         std::int32_t indexCount) override;
    // The task reports in two ways: (running entry total, 0) after each contact written, which
    // only updates the record, and (0, position) after each block read, which is only
    // forwarded.
    void onExportProgress(std::int32_t entries, std::int32_t position) override;
    // Keeps the result in the record (when the storage has one) and forwards it.
    void onExportFinished(ExportResult result) override;
    // Forwarded.
    void onPortFailed(int code) override;
    void onSimLocked() override;

    StorageKind storageKind() const { return storageKind_; }

private:
    ExportStatisticsMap* statistics_;
    StorageKind storageKind_;
    IContactExportSink* exportSink_;
};
