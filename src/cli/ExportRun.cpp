#include "cli/ExportRun.h"

#include <variant>

#include "cli/OutputFileCheck.h"
#include "cli/RetryPrompt.h"
#include "cli/UserMessages.h"
#include "export/FileAccessException.h"
#include "tasks/PhoneManager.h"

namespace {

// How often the main thread looks at the stop signal while it waits for the worker.
constexpr std::chrono::milliseconds kTick{100};

// Stop kind for a cancel by the user: the port stays open, the worker stops between rows.
constexpr std::int32_t kStopByUser = 5;

}  // namespace

ExportRun::ExportRun(PhoneSession& phone, Console& console, const SignalWatcher& signals,
                     ProgressDisplay::Mode mode)
    : phone_(phone), console_(console), signals_(signals), display_(console.err(), mode) {}

std::vector<ExportResult> ExportRun::run(const std::vector<std::int32_t>& storages,
                                         const std::u16string& charsetName,
                                         const std::string& path) {
    path_ = path;
    try {
        phone_.manager().startExport(storages, charsetName, phone_.sinks(), phone_.sinks());
    } catch (const FileAccessException&) {
        console_.error(UserMessages::outputProblem(path, OutputFileCheck::problem(path)));
        return {};
    }
    std::vector<ExportResult> results(storages.size(), ExportResult::None);
    std::size_t finished = 0;
    bool ended = storages.empty();
    while (!ended) {
        if (signals_.stopRequested() && !stopping_) {
            stop();
        }
        auto event = phone_.events().pop(kTick);
        if (!event) {
            continue;
        }
        if (const auto* started = std::get_if<cli_event::StorageStarted>(&*event)) {
            display_.started(started->storage, started->indexCount);
        } else if (const auto* progress = std::get_if<cli_event::Progress>(&*event)) {
            display_.progress(progress->position);
        } else if (const auto* end = std::get_if<cli_event::StorageFinished>(&*event);
                   end != nullptr && finished < storages.size()) {
            results[finished] = end->result;
            display_.finished(storages[finished], end->result);
            ++finished;
            // A write error the user gave up on, or a stop, ends the worker and the export.
            ended = finished == storages.size() || end->result == ExportResult::WriteError ||
                    end->result == ExportResult::Cancelled;
        } else if (const auto* failure = std::get_if<cli_event::WriteFailed>(&*event)) {
            askAboutWriteError(failure->accessError);
        }
    }
    display_.interrupt();
    return results;
}

void ExportRun::stop() {
    stopping_ = true;
    display_.interrupt();
    console_.error("stopping the export; the contacts written so far stay in the file.");
    PhoneManager& manager = phone_.manager();
    manager.pause();
    manager.stop(kStopByUser);
    // A write-error question asked from now on ends the export as well.
    phone_.sinks().refuseWriteErrors();
    manager.resume();
}

void ExportRun::askAboutWriteError(bool accessError) {
    display_.interrupt();
    const std::string message = UserMessages::writeFailed(
        path_, !accessError, accessError ? OutputFileCheck::problem(path_) : 0);
    if (!console_.inputIsTerminal() || stopping_) {
        console_.error(message);
        phone_.sinks().answerWriteError(false);
        return;
    }
    const RetryPrompt::Answer answer =
        RetryPrompt::ask(console_.inputFd(), console_.err(), "contaxio-cli: " + message,
                         [this] { return signals_.stopRequested(); });
    phone_.sinks().answerWriteError(answer == RetryPrompt::Answer::Retry);
}
