#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliEvent.h"
#include "cli/Console.h"
#include "cli/PhoneSession.h"
#include "cli/ProgressDisplay.h"
#include "cli/SignalWatcher.h"
#include "common/ExportResult.h"

// One export on an opened phone, followed on the main thread to its end: progress on standard
// error, write-error questions (asked on a terminal, answered with abort otherwise), and a
// stop signal turned into the user's cancel: pause, stop with kind 5, resume, so that what was
// written stays and no row is cut.
class ExportRun {
public:
    ExportRun(PhoneSession& phone, Console& console, const SignalWatcher& signals,
              ProgressDisplay::Mode mode);

    // Exports the storages (kinds, in order) into path, the phone read in charsetName. The
    // phone manager's settings (path, format, output charset) are set by the caller. Returns
    // the result of every storage, in order; empty when the file could not be created (the
    // person has been told).
    std::vector<ExportResult> run(const std::vector<std::int32_t>& storages,
                                  const std::u16string& charsetName, const std::string& path);

    // Whether a stop signal came during the export.
    bool stopped() const { return stopping_; }

private:
    void stop();
    void askAboutWriteError(bool accessError);

    PhoneSession& phone_;
    Console& console_;
    const SignalWatcher& signals_;
    ProgressDisplay display_;
    std::string path_;
    bool stopping_ = false;
};
