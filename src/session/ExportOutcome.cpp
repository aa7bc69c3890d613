#include "session/ExportOutcome.h"

ExportResult StorageOutcome::shownResult() const {
    return result == ExportResult::None ? ExportResult::Cancelled : result;
}

std::vector<ExportResult> ExportOutcome::results() const {
    std::vector<ExportResult> results;
    for (const StorageOutcome& storage : storages) {
        if (storage.chosen) {
            results.push_back(storage.result);
        }
    }
    if (file == FileState::NotReplaced) {
        results.push_back(ExportResult::WriteError);
    }
    return results;
}

const StorageOutcome* ExportOutcome::storage(StorageKind kind) const {
    for (const StorageOutcome& outcome : storages) {
        if (outcome.kind == kind) {
            return &outcome;
        }
    }
    return nullptr;
}
