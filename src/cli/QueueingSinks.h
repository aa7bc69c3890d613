#pragma once

#include <memory>
#include <mutex>

#include "cli/CliEvent.h"
#include "cli/EventQueue.h"
#include "common/IContactExportSink.h"
#include "common/IExportInterruptionSink.h"
#include "common/IPHBGetStoragesSink.h"
#include "common/IPhoneGetCharsetsSink.h"

// The sinks the phone manager reports to. Their calls arrive on the phone's worker thread and
// only become events in the queue, which the main thread takes; the main thread owns all
// output. The reaction to a failed write stays here until the main thread answers it.
class QueueingSinks final : public IPHBGetStoragesSink,
                            public IPhoneGetCharsetsSink,
                            public IContactExportSink,
                            public IExportInterruptionSink {
public:
    explicit QueueingSinks(EventQueue<CliEvent>& queue);
    // Answers a pending write-error question with abort.
    ~QueueingSinks() override;
    QueueingSinks(const QueueingSinks&) = delete;
    QueueingSinks& operator=(const QueueingSinks&) = delete;

    void onStorages(const std::vector<StorageKind>& storages) override;
    void onCharsets(const std::vector<std::u16string>& charsets) override;
    void onExportStarted(StorageKind storage, std::int32_t usedEntries,
                         std::int32_t indexCount) override;
    void onExportProgress(std::int32_t entries, std::int32_t position) override;
    void onExportFinished(ExportResult result) override;
    void onExportInterrupted(bool accessError,
                             std::unique_ptr<IExportInterruptionReaction> reaction) override;

    // Answers the write-error question the worker waits on; false when none is waiting.
    bool answerWriteError(bool retry);

    // From now on every write-error question is answered with abort at once, the one waiting
    // too, so that the worker can never be left waiting for an answer that no one will give.
    void refuseWriteErrors();

private:
    EventQueue<CliEvent>& queue_;
    std::mutex mutex_;
    std::unique_ptr<IExportInterruptionReaction> reaction_;
    bool pending_ = false;  // reaction_ has not been answered yet
    bool refusing_ = false;
};
