#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ExportStatistics.h"

// The summary printed on standard output when an export has ended, one line per storage with
// its status, the contacts written and the entries read of the phone's total:
//
//   Phone:         Z3, IMEI 351234567890123
//   Phone memory:  completed, 48 contacts written, 55 of 55 entries read
//   SIM:           not chosen
//   File:          /home/ann/contacts.csv
//   Charset:       UCS2 (file in UTF-16 with byte-order mark)
class ExportSummary {
public:
    struct Storage {
        std::int32_t kind = 0;
        bool chosen = false;
        ExportStatistics statistics;
    };

    std::string model;
    std::string imei;
    std::vector<Storage> storages;
    std::string path;
    std::string charsetName;
    std::int32_t outputCharset = 0;

    std::string text() const;

    // cancelled (no result, or 5), completed (1), write error (4), failed (any other).
    static std::string statusText(ExportResult result);
    // What follows the storage's label.
    static std::string storageText(bool chosen, const ExportStatistics& statistics);
    // "UTF-16 with byte-order mark", "UTF-8 with byte-order mark" or "ASCII".
    static std::string outputCharsetText(std::int32_t outputCharset);
};
