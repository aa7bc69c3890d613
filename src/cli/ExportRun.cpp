#include "cli/ExportRun.h"

#include <filesystem>
#include <variant>

#include "cli/RetryPrompt.h"
#include "cli/UserMessages.h"
#include "export/FileAccessException.h"
#include "tasks/PhoneManager.h"

namespace {

// How often the main thread looks at the stop signal and the clock while it waits.
constexpr std::chrono::milliseconds kTick{100};

}  // namespace

ExportRun::ExportRun(PhoneSession& phone, Console& console, const SignalWatcher& signals,
                     ProgressDisplay::Mode mode, std::string output, bool toStandardOutput)
    : phone_(phone),
      console_(console),
      signals_(signals),
      display_(console.err(), mode),
      output_(std::move(output)),
      toStandardOutput_(toStandardOutput) {}

bool ExportRun::run(const std::vector<StorageKind>& storages, const std::u16string& charsetName) {
    storages_.clear();
    for (const StorageKind kind : storages) {
        storages_.push_back(StorageRun{kind});
    }
    try {
        phone_.manager().startExport(storages, charsetName, phone_.sinks(), phone_.sinks());
    } catch (const FileAccessException& failure) {
        console_.report(toStandardOutput_ ? UserMessages::standardOutputFailed(failure.code())
                                          : UserMessages::outputProblem(output_, failure.code(),
                                                                        failure.existingFile()));
        return false;
    }
    std::size_t finished = 0;
    bool ended = storages_.empty();
    while (!ended) {
        if (signals_.stopRequested() && !stopping_) {
            stop();
        }
        auto event = phone_.events().pop(kTick);
        const auto now = ProgressDisplay::Clock::now();
        if (!event) {
            display_.tick(now);
            continue;
        }
        if (const auto* started = std::get_if<cli_event::StorageStarted>(&*event);
            started != nullptr && finished < storages_.size()) {
            storages_[finished].places = started->indexCount;
            display_.started(storages_[finished].kind, started->indexCount, now);
        } else if (const auto* progress = std::get_if<cli_event::Progress>(&*event);
                   progress != nullptr && finished < storages_.size()) {
            storages_[finished].placesRead = progress->position;
            display_.progress(progress->position, now);
        } else if (const auto* end = std::get_if<cli_event::StorageFinished>(&*event);
                   end != nullptr && finished < storages_.size()) {
            storages_[finished].result = end->result;
            display_.finished(storages_[finished].kind, end->result);
            ++finished;
            // A write error the user gave up on, or a stop, ends the worker and the export.
            ended = finished == storages_.size() || end->result == ExportResult::WriteError ||
                    end->result == ExportResult::Cancelled;
        } else if (const auto* failure = std::get_if<cli_event::WriteFailed>(&*event)) {
            askAboutWriteError(*failure);
        }
    }
    // The storages the export never reached end as the summary will show them.
    for (std::size_t i = finished; i < storages_.size(); ++i) {
        display_.finished(storages_[i].kind, storages_[i].result);
    }
    display_.interrupt();
    return true;
}

ExportSummary::FileState ExportRun::finishOutput() {
    using FileState = ExportSummary::FileState;
    for (;;) {
        try {
            switch (phone_.manager().finishExport()) {
                case ExportFileOutcome::Saved:
                    return toStandardOutput_ ? FileState::StandardOutput : FileState::Saved;
                case ExportFileOutcome::Unchanged:
                case ExportFileOutcome::NoFile: {
                    if (toStandardOutput_) {
                        return FileState::StandardOutput;
                    }
                    std::error_code error;
                    return std::filesystem::exists(output_, error) ? FileState::LeftAsItWas
                                                                   : FileState::NotCreated;
                }
            }
        } catch (const FileAccessException& failure) {
            if (!askRetry(UserMessages::outputNotReplaced(output_, failure.code()))) {
                notReplaced_ = true;
                return FileState::NotReplaced;
            }
        }
    }
}

std::vector<ExportResult> ExportRun::results() const {
    std::vector<ExportResult> results;
    for (const StorageRun& storage : storages_) {
        results.push_back(storage.result);
    }
    if (notReplaced_) {
        results.push_back(ExportResult::WriteError);
    }
    return results;
}

void ExportRun::stop() {
    stopping_ = true;
    display_.interrupt();
    PhoneManager& manager = phone_.manager();
    manager.pause();
    manager.stop(StopKind::ByUser);
    // A write-error question asked from now on ends the export as well.
    phone_.sinks().refuseWriteErrors();
    // Said once the stop is under way, so that whoever reads it may rely on it.
    console_.report(UserMessages::stopping());
    manager.resume();
}

void ExportRun::askAboutWriteError(const cli_event::WriteFailed& failure) {
    display_.interrupt();
    const int code = failure.code != 0 ? failure.code : (failure.accessError ? 0 : ENOSPC);
    const UserMessages::Message message = toStandardOutput_
                                              ? UserMessages::standardOutputFailed(code)
                                              : UserMessages::outputProblem(output_, code);
    phone_.sinks().answerWriteError(askRetry(message));
}

bool ExportRun::askRetry(const UserMessages::Message& message) {
    if (!console_.inputIsTerminal() || stopping_ || signals_.stopRequested()) {
        console_.report(message);
        return false;
    }
    console_.report(message);
    return RetryPrompt::ask(console_.inputFd(), console_.err(), "contaxio-cli:", [this] {
               return signals_.stopRequested();
           }) == RetryPrompt::Answer::Retry;
}
