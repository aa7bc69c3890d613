#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "ExportPlan.h"
#include "SoakPhone.h"
#include "common/ExportResult.h"

namespace soak {

// The fault one phone plays during its export.
struct SoakFault {
    enum class Kind {
        None,
        Unplug,         // the phone is gone when the command arrives
        StallBelow,     // the answer to the command comes late, within the 2 s of silence
        StallAbove,     // ... after them
        ErrorAnswer,    // the command (every time it is sent) is answered ERROR
        Garbage,        // a stray line after every few answers
        DiskFullRetry,  // the file stops growing; the user frees space and retries
        DiskFullAbort,  // ... and gives up
    };

    Kind kind = Kind::None;
    std::string command;                     // Unplug, Stall*, ErrorAnswer
    std::chrono::milliseconds stall{0};      // Stall*
    int every = 0;                           // Garbage: after every n-th answer
    std::string garbage;                     // Garbage
    double fileShare = 0;                    // DiskFull*: where in the whole file the limit falls
    std::optional<std::uint64_t> fileLimit;  // DiskFull*: the bytes the file may grow to

    // quick: stalls below the silence stay well below it (a test run); otherwise they come up
    // to 1.5 s. writesRows: whether the export writes any contact.
    static SoakFault draw(std::mt19937_64& random, const std::vector<PlannedCommand>& plan,
                          bool writesRows, bool quick);

    static const char* name(Kind kind);
    std::string describe() const;
};

// What an export with the fault should give: the contacts in the file, in order, whether the
// header is there, and the result each storage reports (in export order; a storage after a write
// error the user gave up on reports nothing).
struct ExpectedOutcome {
    std::vector<ExpectedContact> rows;
    std::vector<int> rowStorage;  // the storage of each row
    bool header = false;
    std::vector<ExportResult> results;
};

ExpectedOutcome expectOutcome(const SoakPhone& phone, const std::vector<PlannedCommand>& plan,
                              const SoakFault& fault);

// Places a full disk's limit within the file that the export of the phone without a fault wrote
// (and that passed the checks): at least its byte-order mark fits, not the whole file. When the
// user gives up, the outcome keeps the rows that fit whole below the limit; the row that does
// not fails, and the storages after it are never exported.
void placeFileLimit(const export_test::CutFile& file, SoakFault& fault, ExpectedOutcome& outcome);

}  // namespace soak
