#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliEvent.h"
#include "cli/Console.h"
#include "cli/ExportSummary.h"
#include "cli/PhoneSession.h"
#include "cli/ProgressDisplay.h"
#include "cli/SignalWatcher.h"
#include "common/ExportResult.h"
#include "common/StorageKind.h"

// One export on an opened phone, followed on the main thread to its end: progress on standard
// error, write-error questions (asked on a terminal, answered with abort otherwise), a stop
// signal turned into the user's cancel (pause, stop with kind 5, resume, so that no row is
// cut), and at the end the output file put in place, or left as it was when nothing was
// exported.
class ExportRun {
public:
    // How one storage's export went, as its reports told.
    struct StorageRun {
        StorageKind kind = StorageKind::Unknown;
        ExportResult result = ExportResult::None;  // None: it never reported an end
        std::int32_t places = 0;                   // the places it was to read
        std::int32_t placesRead = 0;
    };

    // output: the file as the person gave it, for messages; toStandardOutput: the CSV goes to
    // standard output.
    ExportRun(PhoneSession& phone, Console& console, const SignalWatcher& signals,
              ProgressDisplay::Mode mode, std::string output, bool toStandardOutput);

    // Exports the storages (kinds, in order), the phone read in charsetName. The phone
    // manager's settings (path, format, output charset) are set by the caller. False when the
    // file could not be created (the person has been told).
    bool run(const std::vector<StorageKind>& storages, const std::u16string& charsetName);

    // Puts the exported file in place, or leaves the old one when nothing was exported (asking
    // whether to retry when that fails and standard input is a terminal). After run().
    ExportSummary::FileState finishOutput();

    const std::vector<StorageRun>& storages() const { return storages_; }
    // The results of the storages, in order, with a file that could not take the place of the
    // old one counted as a write error.
    std::vector<ExportResult> results() const;
    // Whether a stop signal came during the export.
    bool stopped() const { return stopping_; }

private:
    void stop();
    void askAboutWriteError(const cli_event::WriteFailed& failure);
    // Asks whether to retry on a terminal; false (abort) without one or after a stop.
    bool askRetry(const UserMessages::Message& message);

    PhoneSession& phone_;
    Console& console_;
    const SignalWatcher& signals_;
    ProgressDisplay display_;
    const std::string output_;
    const bool toStandardOutput_;
    std::vector<StorageRun> storages_;
    bool stopping_ = false;
    bool notReplaced_ = false;
};
