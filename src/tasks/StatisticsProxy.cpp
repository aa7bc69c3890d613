#include "tasks/StatisticsProxy.h"

StatisticsProxy::StatisticsProxy(ExportStatisticsMap& statistics, StorageKind storageKind,
                                 IContactExportSink& exportSink)
    : statistics_(&statistics), storageKind_(storageKind), exportSink_(&exportSink) {}

void StatisticsProxy::onExportStarted(StorageKind /*storage*/, std::int32_t usedEntries,
                                      std::int32_t indexCount) {
    statistics_->put(storageKind_, ExportStatistics{usedEntries, 0, 0, ExportResult::None});
    exportSink_->onExportStarted(storageKind_, usedEntries, indexCount);
}

void StatisticsProxy::onExportProgress(std::int32_t entries, std::int32_t position) {
    if (position == 0) {
        // A contact was written. It counts even when the running entry total is still 0 (a
        // contact of addresses only carries no phonebook entry).
        statistics_->update(storageKind_, [entries](ExportStatistics& record) {
            ++record.contactsWritten;
            record.entriesRead = entries;
            if (record.entriesTotal < entries)
                record.entriesTotal = entries;
        });
        return;
    }
    exportSink_->onExportProgress(entries, position);
}

void StatisticsProxy::onPortFailed(int code) {
    exportSink_->onPortFailed(code);
}

void StatisticsProxy::onSimLocked() {
    exportSink_->onSimLocked();
}

void StatisticsProxy::onExportFinished(ExportResult result) {
    statistics_->update(storageKind_,
                        [result](ExportStatistics& record) { record.result = result; });
    exportSink_->onExportFinished(result);
}
