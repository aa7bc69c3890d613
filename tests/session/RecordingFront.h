#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "session/ExportSession.h"
#include "tasks/SyncQueue.h"

namespace session_test {

// Plays a front end of an export session: the session's reports become calls that the test's
// thread runs (runUntilEnded), each recorded as a line ("started ME 200", "finished SM
// completed", "write failed", "ended"); write-error questions are answered as the test says.
class RecordingFront final : public IExportSessionListener {
public:
    explicit RecordingFront(ExportSession& session) : session_(session) {}

    ExportSession::Poster poster();
    // Runs the reports until the export has ended; false when it did not end in time.
    bool runUntilEnded(std::chrono::milliseconds limit = std::chrono::seconds(30));

    void onStorageStarted(StorageKind storage, std::int32_t places) override;
    void onStorageProgress(std::int32_t placesRead) override { lastPosition = placesRead; }
    void onStorageFinished(StorageKind storage, ExportResult result) override;
    // Records the question, runs beforeAnswer, and answers with the first of answers (checking
    // that a second answer counts for nothing); leaves it open when answers is empty.
    void onWriteFailed(const WriteFailure& failure) override;
    void onExportEnded() override;

    std::vector<std::string> events;
    std::int32_t lastPosition = 0;
    std::deque<bool> answers;  // retry or not, for each write-error question in turn
    std::function<void()> beforeAnswer = [] {};

private:
    ExportSession& session_;
    synchronization::SyncQueue<std::function<void()>> calls_;
    bool ended_ = false;
};

}  // namespace session_test
