#pragma once

#include <cstdint>

// How an export is stopped (PhoneManager::stop). The values are the codes of the export
// results the stopped storage ends with.
enum class StopKind : std::int32_t {
    // The phone has gone: the port is closed first, so that a transfer in progress fails at
    // once.
    Disconnected = 3,
    // Cancelled by the user: the port stays open, and the export stops between two rows.
    ByUser = 5,
};
