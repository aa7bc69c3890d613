#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "causes/Cause.h"
#include "common/ExportResult.h"
#include "common/ExportStatistics.h"
#include "common/StorageKind.h"
#include "session/ExportOutcome.h"

class AppContext;

// How the completion page words the export session's outcome, in the UI language.
class CompletionSummary {
public:
    // The longest output path shown as it is; a longer one loses characters in its middle.
    static constexpr std::size_t kPathDisplayLimit = 90;

    // A path of at most limit UTF-16 units as it is; a longer one as its beginning, "..." and
    // its end from its last "/" on, limit units in all (the whole end when the file name alone
    // is too long). A character made of two units is never cut in half: the text is then one
    // unit shorter.
    static std::u16string shortenPath(const std::u16string& path,
                                      std::size_t limit = kPathDisplayLimit);
    // The status text id of an export result (a storage never reached counts as cancelled).
    static std::uint32_t statusTextId(ExportResult result);
    // The summary line of a storage: "<name>: " and "not chosen", or the status with the
    // counts of the statistics; for a storage the phone could not give for a cause of its own
    // (ExportOutcome's StorageOutcome::cause, such as a SIM waiting for its PIN), a second line
    // with what is wrong and the way out.
    static std::u16string storageLine(const AppContext& app, StorageKind storageKind, bool chosen,
                                      const ExportStatistics& statistics,
                                      causes::Cause cause = causes::Cause::None);
    // The charset line: the charset the phone was read in, which is the file's too, but for a
    // vCard file, which is UTF-8 whatever it was.
    static std::u16string charsetLine(const AppContext& app, const ExportOutcome& outcome);
};
