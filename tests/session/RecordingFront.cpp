#include "RecordingFront.h"

#include <gtest/gtest.h>

namespace session_test {
namespace {

std::string nameOf(StorageKind kind) {
    return kind == StorageKind::Memory ? "ME" : kind == StorageKind::Sim ? "SM" : "?";
}

}  // namespace

ExportSession::Poster RecordingFront::poster() {
    return [this](std::function<void()> call) { calls_.push(std::move(call)); };
}

bool RecordingFront::runUntilEnded(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!ended_ && std::chrono::steady_clock::now() < deadline) {
        if (const std::function<void()> call = calls_.popWithin(std::chrono::milliseconds(50))) {
            call();
        }
    }
    return ended_;
}

void RecordingFront::onStorageStarted(StorageKind storage, std::int32_t places) {
    events.push_back("started " + nameOf(storage) + " " + std::to_string(places));
}

void RecordingFront::onStorageFinished(StorageKind storage, ExportResult result) {
    events.push_back("finished " + nameOf(storage) + " " + std::string(exportResultName(result)));
}

void RecordingFront::onWriteFailed(const WriteFailure& failure) {
    events.push_back(failure.accessError ? "write failed" : "disk full");
    beforeAnswer();
    if (!answers.empty()) {
        EXPECT_TRUE(session_.answerWriteError(answers.front()));
        EXPECT_FALSE(session_.answerWriteError(true)) << "only the first answer counts";
        answers.pop_front();
    }
}

void RecordingFront::onExportEnded() {
    events.push_back("ended");
    ended_ = true;
}

}  // namespace session_test
