#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "causes/Cause.h"
#include "common/ExportResult.h"
#include "common/ExportStatistics.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"

// What became of the output file once the export was finished.
enum class FileState {
    Saved,        // it holds the contacts exported
    LeftAsItWas,  // nothing was exported; the file there was not touched
    NotCreated,   // nothing was exported and there was no file
    NotReplaced,  // the exported file could not take its place; the one there was not touched
};

// How one storage of an export went, with the numbers the summaries show.
struct StorageOutcome {
    StorageKind kind = StorageKind::Unknown;
    bool chosen = false;                       // part of the export
    ExportResult result = ExportResult::None;  // as it reported its end; None: never reached
    std::int32_t places = 0;                   // the index positions it was to read
    std::int32_t placesRead = 0;
    ExportStatistics statistics;  // entries and contacts, as the phone manager counted them
    int portError = 0;  // the errno of the port failure that ended it; 0: none, or not known
    // Why the phone could not give the storage, where its answers told: Cause::SimLocked (the
    // SIM waits for its PIN); None otherwise.
    causes::Cause cause = causes::Cause::None;

    // How the storage ended, as people are told: a storage that the export never reached
    // (an earlier one ended it) counts as cancelled.
    ExportResult shownResult() const;
};

// The summary of an export, the same for every front end: the phone memory and the SIM (chosen
// or not, in this order, then any other storage exported), the file and the character sets.
struct ExportOutcome {
    std::vector<StorageOutcome> storages;
    FileState file = FileState::NotCreated;
    std::u16string path;
    std::u16string phoneCharset;
    std::int32_t outputCharset = 0;
    OutputFormat layout = OutputFormat::GoogleCsv;
    bool stopped = false;  // the user stopped the export

    // How the file's bytes are encoded (the layout's and the output charset's choice).
    FileEncoding fileEncoding() const { return fileEncodingOf(layout, outputCharset); }
    // The results of the chosen storages, and a file that could not take the
    // old one's place counted as a write error.
    std::vector<ExportResult> results() const;
    // The outcome of a kind; null when it is none of the storages above.
    const StorageOutcome* storage(StorageKind kind) const;
};
