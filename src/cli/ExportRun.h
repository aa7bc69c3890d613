#pragma once

#include <string>

#include "cli/Console.h"
#include "cli/PhoneSession.h"
#include "cli/ProgressDisplay.h"
#include "cli/SignalWatcher.h"
#include "session/ExportPlan.h"
#include "session/IExportSessionListener.h"

// One export on an opened phone, followed on the main thread to its end through the phone's
// export session: progress on standard error, write-error questions asked on a terminal
// (answered with abort otherwise), a stop signal turned into the session's stop, and at the
// end the file finished, with the same question when it cannot take its place.
class ExportRun final : public IExportSessionListener {
public:
    // output: the file as the person gave it, for messages; toStandardOutput: the CSV goes to
    // standard output.
    ExportRun(PhoneSession& phone, Console& console, const SignalWatcher& signals,
              ProgressDisplay::Mode mode, std::string output, bool toStandardOutput);

    // Exports as planned, until the export has ended. False when the file could not be
    // created (the person has been told).
    bool run(const ExportPlan& plan);
    // Puts the exported file in place (ExportSession::finishFile). After run().
    FileState finishOutput();

    void onStorageStarted(StorageKind storage, std::int32_t places) override;
    void onStorageProgress(std::int32_t placesRead) override;
    void onStorageFinished(StorageKind storage, ExportResult result) override;
    void onWriteFailed(const WriteFailure& failure) override;
    void onExportEnded() override { ended_ = true; }

private:
    // Asks whether to retry on a terminal; false (abort) without one or after a stop.
    bool askRetry(const UserMessages::Message& message);

    PhoneSession& phone_;
    Console& console_;
    const SignalWatcher& signals_;
    ProgressDisplay display_;
    const std::string output_;
    const bool toStandardOutput_;
    bool ended_ = false;
    bool stopping_ = false;
};
