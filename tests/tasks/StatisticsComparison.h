#pragma once

#include <ostream>

#include "common/ExportStatistics.h"

// Lets tests compare statistics records whole and print them when they differ. In the global
// namespace, beside the record, so that lookup finds it also inside std::optional.
inline bool operator==(const ExportStatistics& a, const ExportStatistics& b) {
    return a.entriesTotal == b.entriesTotal && a.entriesRead == b.entriesRead &&
           a.contactsWritten == b.contactsWritten && a.result == b.result;
}

inline void PrintTo(const ExportStatistics& s, std::ostream* os) {
    *os << "{" << s.entriesTotal << ", " << s.entriesRead << ", " << s.contactsWritten << ", "
        << static_cast<int>(s.result) << "}";
}
