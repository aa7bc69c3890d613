#pragma once

#include <cstdint>
#include <string_view>

// How the export of one storage ended; kept in its statistics and reported to its sink.
enum class ExportResult : std::int32_t {
    None = 0,          // no result yet
    Completed = 1,     // the storage was exported completely
    Failed = 2,        // no usable answer, storage not selectable, or another port failure
    Disconnected = 3,  // the phone went away during the export
    WriteError = 4,    // the output file could not be written and the user gave up
    Cancelled = 5,     // cancelled by the user, or discarded from the queue by a stop
};

// A short, stable English name of a result, for logs and the command-line front end.
constexpr std::string_view exportResultName(ExportResult result) {
    switch (result) {
        case ExportResult::None:
            return "none";
        case ExportResult::Completed:
            return "completed";
        case ExportResult::Failed:
            return "failed";
        case ExportResult::Disconnected:
            return "disconnected";
        case ExportResult::WriteError:
            return "write error";
        case ExportResult::Cancelled:
            return "cancelled";
    }
    return "unknown";
}
