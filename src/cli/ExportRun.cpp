#include "cli/ExportRun.h"

#include "cli/RetryPrompt.h"
#include "cli/UserMessages.h"
#include "export/FileAccessException.h"

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

bool ExportRun::run(const ExportPlan& plan) {
    ExportSession& session = phone_.exportSession();
    try {
        session.start(phone_.manager(), plan, *this, phone_.poster());
    } catch (const FileAccessException& failure) {
        console_.report(toStandardOutput_ ? UserMessages::standardOutputFailed(failure.code())
                                          : UserMessages::outputProblem(output_, failure.code(),
                                                                        failure.existingFile()));
        return false;
    }
    while (!ended_) {
        if (signals_.stopRequested() && !stopping_) {
            stopping_ = true;
            display_.interrupt();
            session.stop();
            // Said once the stop is under way, so that whoever reads it may rely on it.
            console_.report(UserMessages::stopping());
        }
        if (!phone_.runNext(kTick)) {
            display_.tick(ProgressDisplay::Clock::now());
        }
    }
    display_.interrupt();
    return true;
}

FileState ExportRun::finishOutput() {
    return phone_.exportSession().finishFile([this](const FileProblem& problem) {
        return askRetry(
            UserMessages::outputNotReplaced(output_, problem.code, problem.existingFile));
    });
}

void ExportRun::onStorageStarted(StorageKind storage, std::int32_t places) {
    display_.started(storage, places, ProgressDisplay::Clock::now());
}

void ExportRun::onStorageProgress(std::int32_t placesRead) {
    display_.progress(placesRead, ProgressDisplay::Clock::now());
}

void ExportRun::onStorageFinished(StorageKind storage, ExportResult result) {
    display_.finished(storage, result);
}

void ExportRun::onWriteFailed(const WriteFailure& failure) {
    display_.interrupt();
    const UserMessages::Message message = toStandardOutput_
                                              ? UserMessages::standardOutputFailed(failure.code)
                                              : UserMessages::outputProblem(output_, failure.code);
    phone_.exportSession().answerWriteError(askRetry(message));
}

bool ExportRun::askRetry(const UserMessages::Message& message) {
    console_.report(message);
    if (!console_.inputIsTerminal() || stopping_ || signals_.stopRequested()) {
        return false;
    }
    return RetryPrompt::ask(console_.inputFd(), console_.err(), "contaxio-cli:", [this] {
               return signals_.stopRequested();
           }) == RetryPrompt::Answer::Retry;
}
