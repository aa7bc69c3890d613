#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "common/ExportResult.h"
#include "common/StorageKind.h"

// What the phone's worker thread reports, as values handed to the main thread.
namespace cli_event {

struct Storages {
    std::vector<StorageKind> kinds;
};
struct Charsets {
    std::vector<std::u16string> names;
};
struct StorageStarted {
    StorageKind storage = StorageKind::Unknown;
    std::int32_t usedEntries = 0;
    std::int32_t indexCount = 0;
};
struct Progress {
    std::int32_t entries = 0;
    std::int32_t position = 0;
};
struct StorageFinished {
    ExportResult result = ExportResult::None;
};
// Writing the output file failed; the worker waits for QueueingSinks::answerWriteError.
struct WriteFailed {
    bool accessError = false;  // false: the disk is full
    int code = 0;              // the errno of the failed write; 0: not known
};

}  // namespace cli_event

using CliEvent =
    std::variant<cli_event::Storages, cli_event::Charsets, cli_event::StorageStarted,
                 cli_event::Progress, cli_event::StorageFinished, cli_event::WriteFailed>;
