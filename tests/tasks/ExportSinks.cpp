#include "ExportSinks.h"

#include <utility>

namespace export_test {

namespace {

std::string call(const char* name, std::initializer_list<std::int32_t> arguments) {
    std::string text = name;
    text += '(';
    bool first = true;
    for (const std::int32_t argument : arguments) {
        if (!first)
            text += ',';
        text += std::to_string(argument);
        first = false;
    }
    return text + ')';
}

}  // namespace

void RecordingExportSink::add(std::string event, bool finish) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
        if (finish)
            ++finished_;
    }
    changed_.notify_all();
}

void RecordingExportSink::onExportStarted(StorageKind storage, std::int32_t usedEntries,
                                          std::int32_t indexCount) {
    add(call("started", {static_cast<std::int32_t>(storage), usedEntries, indexCount}), false);
}

void RecordingExportSink::onExportProgress(std::int32_t entries, std::int32_t position) {
    {
        std::lock_guard lock(mutex_);
        if (position != 0)
            positions_.push_back(position);
    }
    add(call("progress", {entries, position}), false);
}

void RecordingExportSink::onExportFinished(ExportResult result) {
    add(call("finished", {static_cast<std::int32_t>(result)}), true);
}

void RecordingExportSink::onSimLocked() {
    add("sim-locked", false);
}

std::vector<std::string> RecordingExportSink::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingExportSink::startsAndFinishes() const {
    std::vector<std::string> kept;
    for (std::string& event : events()) {
        if (event.rfind("progress", 0) != 0)
            kept.push_back(std::move(event));
    }
    return kept;
}

std::vector<std::int32_t> RecordingExportSink::positions() const {
    std::lock_guard lock(mutex_);
    return positions_;
}

std::size_t RecordingExportSink::finishedCount() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

bool RecordingExportSink::waitForFinished(std::size_t count,
                                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return finished_ >= count; });
}

bool RecordingExportSink::waitForPositions(std::size_t count,
                                           std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return positions_.size() >= count; });
}

void RecordingStoragesSink::onStorages(const std::vector<StorageKind>& storages) {
    {
        std::lock_guard lock(mutex_);
        answers_.push_back(storages);
    }
    changed_.notify_all();
}

std::vector<std::vector<StorageKind>> RecordingStoragesSink::answers() const {
    std::lock_guard lock(mutex_);
    return answers_;
}

bool RecordingStoragesSink::waitForAnswers(std::size_t count,
                                           std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return answers_.size() >= count; });
}

void RecordingCharsetsSink::onCharsets(const std::vector<std::u16string>& charsets) {
    std::lock_guard lock(mutex_);
    answers_.push_back(charsets);
}

std::vector<std::vector<std::u16string>> RecordingCharsetsSink::answers() const {
    std::lock_guard lock(mutex_);
    return answers_;
}

void QuestionSink::onExportInterrupted(bool accessError,
                                       std::unique_ptr<IExportInterruptionReaction> reaction) {
    std::unique_ptr<IExportInterruptionReaction> previous;
    {
        std::lock_guard lock(mutex_);
        questions_.push_back(accessError);
        previous = std::exchange(reaction_, std::move(reaction));
    }
    asked_.signal();
}

bool QuestionSink::waitForQuestion(std::chrono::milliseconds timeout) {
    return asked_.wait(timeout);
}

void QuestionSink::answer(bool retry) {
    std::lock_guard lock(mutex_);
    if (!reaction_)
        return;
    if (retry) {
        reaction_->retry();
    } else {
        reaction_->abort();
    }
}

std::vector<bool> QuestionSink::questions() const {
    std::lock_guard lock(mutex_);
    return questions_;
}

}  // namespace export_test
