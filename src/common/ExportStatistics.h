#pragma once

#include <cstdint>

#include "common/ExportResult.h"

// What the export of one storage achieved so far.
struct ExportStatistics {
    // Used entries the phone reported when the export started; raised to entriesRead whenever
    // that grows larger.
    std::int32_t entriesTotal = 0;
    // Phonebook entries written so far (the sum of the entry counts of the contacts written).
    std::int32_t entriesRead = 0;
    std::int32_t contactsWritten = 0;
    ExportResult result = ExportResult::None;
};
