#include "cli/ExitStatus.h"

#include <algorithm>

namespace {

// Larger is graver.
int gravity(ExportResult result) {
    switch (result) {
        case ExportResult::Completed:
            return 0;
        case ExportResult::None:
        case ExportResult::Failed:
            return 1;
        case ExportResult::Disconnected:
            return 2;
        case ExportResult::WriteError:
            return 3;
        case ExportResult::Cancelled:
            return 4;
    }
    return 1;
}

}  // namespace

ExitStatus exitStatusOf(const std::vector<ExportResult>& results) {
    if (results.empty()) {
        return ExitStatus::PhoneUnusable;
    }
    const ExportResult gravest =
        *std::max_element(results.begin(), results.end(),
                          [](ExportResult a, ExportResult b) { return gravity(a) < gravity(b); });
    switch (gravity(gravest)) {
        case 0:
            return ExitStatus::Success;
        case 2:
            return ExitStatus::PhoneDisconnected;
        case 3:
            return ExitStatus::OutputFailed;
        case 4:
            return ExitStatus::Cancelled;
        default:
            return ExitStatus::PhoneUnusable;
    }
}
