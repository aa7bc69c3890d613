#include "cli/QueueingSinks.h"

#include <utility>

QueueingSinks::QueueingSinks(EventQueue<CliEvent>& queue) : queue_(queue) {}

QueueingSinks::~QueueingSinks() {
    refuseWriteErrors();
}

void QueueingSinks::onStorages(const std::vector<StorageKind>& storages) {
    queue_.push(cli_event::Storages{storages});
}

void QueueingSinks::onCharsets(const std::vector<std::u16string>& charsets) {
    queue_.push(cli_event::Charsets{charsets});
}

void QueueingSinks::onExportStarted(StorageKind storage, std::int32_t usedEntries,
                                    std::int32_t indexCount) {
    queue_.push(cli_event::StorageStarted{storage, usedEntries, indexCount});
}

void QueueingSinks::onExportProgress(std::int32_t entries, std::int32_t position) {
    queue_.push(cli_event::Progress{entries, position});
}

void QueueingSinks::onExportFinished(ExportResult result) {
    queue_.push(cli_event::StorageFinished{result});
}

void QueueingSinks::onExportInterrupted(bool accessError,
                                        std::unique_ptr<IExportInterruptionReaction> reaction) {
    std::unique_ptr<IExportInterruptionReaction> previous;  // answered; deleted unlocked
    bool ask = false;
    const int code = reaction != nullptr ? reaction->failureCode() : 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        previous = std::move(reaction_);
        reaction_ = std::move(reaction);
        pending_ = reaction_ != nullptr;
        if (refusing_ && pending_) {
            pending_ = false;
            reaction_->abort();
        }
        ask = pending_;
    }
    if (ask) {
        queue_.push(cli_event::WriteFailed{accessError, code});
    }
}

bool QueueingSinks::answerWriteError(bool retry) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!pending_) {
        return false;
    }
    pending_ = false;
    if (retry) {
        reaction_->retry();
    } else {
        reaction_->abort();
    }
    return true;
}

void QueueingSinks::refuseWriteErrors() {
    std::lock_guard<std::mutex> lock(mutex_);
    refusing_ = true;
    if (pending_) {
        pending_ = false;
        reaction_->abort();
    }
}
