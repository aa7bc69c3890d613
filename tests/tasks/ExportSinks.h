#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/Event.h"
#include "common/IContactExportSink.h"
#include "common/IExportInterruptionSink.h"
#include "common/IPHBGetStoragesSink.h"
#include "common/IPhoneGetCharsetsSink.h"
#include "common/StorageKind.h"

namespace export_test {

// Records what an export reports, as text ("started(1,12,200)", "progress(0,10)",
// "sim-locked", "finished(1)"), from whatever thread it comes.
class RecordingExportSink final : public IContactExportSink {
public:
    void onExportStarted(StorageKind storage, std::int32_t usedEntries,
                         std::int32_t indexCount) override;
    void onExportProgress(std::int32_t entries, std::int32_t position) override;
    void onExportFinished(ExportResult result) override;
    void onSimLocked() override;

    std::vector<std::string> events() const;
    // The events without the progress reports.
    std::vector<std::string> startsAndFinishes() const;
    // The positions of the progress reports that carry one.
    std::vector<std::int32_t> positions() const;
    std::size_t finishedCount() const;

    // Waits until at least count finishes were reported; false when the time ran out.
    bool waitForFinished(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // Waits until at least count progress reports with a position were made.
    bool waitForPositions(std::size_t count,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

private:
    void add(std::string event, bool finish);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> events_;
    std::vector<std::int32_t> positions_;
    std::size_t finished_ = 0;
};

class RecordingStoragesSink final : public IPHBGetStoragesSink {
public:
    void onStorages(const std::vector<StorageKind>& storages) override;
    // The lists reported so far.
    std::vector<std::vector<StorageKind>> answers() const;
    // Waits until at least count lists were reported.
    bool waitForAnswers(std::size_t count = 1,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::vector<StorageKind>> answers_;
};

class RecordingCharsetsSink final : public IPhoneGetCharsetsSink {
public:
    void onCharsets(const std::vector<std::u16string>& charsets) override;
    std::vector<std::vector<std::u16string>> answers() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::vector<std::u16string>> answers_;
};

// Plays the user who is asked after a write error: keeps each question's reaction until the
// test answers it from its own thread. A reaction still held when the sink goes away is
// dropped, which gives up.
class QuestionSink final : public IExportInterruptionSink {
public:
    void onExportInterrupted(bool accessError,
                             std::unique_ptr<IExportInterruptionReaction> reaction) override;

    // Waits for the next question; false when none came in time.
    bool waitForQuestion(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    void answer(bool retry);
    std::vector<bool> questions() const;

private:
    mutable std::mutex mutex_;
    std::vector<bool> questions_;
    std::unique_ptr<IExportInterruptionReaction> reaction_;
    synchronization::Event asked_{synchronization::Event::Mode::AutoReset};
};

}  // namespace export_test
