#pragma once

#include <vector>

#include "common/ExportResult.h"

// The exit statuses of contaxio-cli. Scripts depend on them: keep the numbers.
enum class ExitStatus : int {
    Success = 0,            // every chosen storage was exported completely
    Internal = 1,           // an unexpected failure inside the program
    Usage = 2,              // the command line was wrong
    PhoneUnusable = 3,      // no usable phone: port missing, refused or busy, no answer,
                            // unsupported, or the export of a storage failed
    PhoneDisconnected = 4,  // the phone went away
    OutputFailed = 5,       // the output file could not be created or written
    Cancelled = 130,        // stopped by Ctrl-C (SIGINT) or SIGTERM
};

constexpr int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

// The status of an export from the results of its chosen storages: the gravest one wins, in
// the order cancelled, write error, disconnected, failed (a storage that never reported a
// result counts as failed); success only when every storage completed. No storages: failed.
ExitStatus exitStatusOf(const std::vector<ExportResult>& results);
