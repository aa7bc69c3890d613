#include "tasks/ExportStatisticsMap.h"

void ExportStatisticsMap::put(StorageKind storageKind, const ExportStatistics& statistics) {
    std::lock_guard lock(mutex_);
    records_.insert_or_assign(storageKind, statistics);
}

std::optional<ExportStatistics> ExportStatisticsMap::find(StorageKind storageKind) const {
    std::lock_guard lock(mutex_);
    const auto found = records_.find(storageKind);
    if (found == records_.end())
        return std::nullopt;
    return found->second;
}
