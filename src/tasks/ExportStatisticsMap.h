#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "common/ExportStatistics.h"
#include "common/StorageKind.h"

// The statistics of one export, one record per storage kind. The worker thread writes them
// while the export runs; the user-interface thread may read them at any time, so every
// operation takes the map's lock (held only for the copy or the change itself).
class ExportStatisticsMap {
public:
    ExportStatisticsMap() = default;
    ExportStatisticsMap(const ExportStatisticsMap&) = delete;
    ExportStatisticsMap& operator=(const ExportStatisticsMap&) = delete;

    // Creates or replaces the record of a kind.
    void put(StorageKind storageKind, const ExportStatistics& statistics);

    // Applies change to the record of a kind, under the lock; false (and change not called)
    // when there is no record. change must not call back into the map.
    template <typename Change>
    bool update(StorageKind storageKind, Change&& change) {
        std::lock_guard lock(mutex_);
        const auto found = records_.find(storageKind);
        if (found == records_.end())
            return false;
        change(found->second);
        return true;
    }

    // A copy of the record of a kind; nothing when there is none.
    std::optional<ExportStatistics> find(StorageKind storageKind) const;

private:
    mutable std::mutex mutex_;
    std::map<StorageKind, ExportStatistics> records_;
};
