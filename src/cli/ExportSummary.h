#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "session/ExportOutcome.h"

// The summary printed when an export has ended, rendered from the export session's outcome:
// one line per storage with its outcome and the places, entries and contacts it came to (the
// same words and counts as the progress display):
//
//   Phone:         Z3, IMEI 351234567890123
//   Phone memory:  completed, 250 of 250 places read, 55 entries in 48 contacts written
//   SIM:           not chosen
//   File:          /home/ann/contacts.csv
//   Charset:       UCS2 (file in UTF-16 with byte-order mark)
//
// Texts from outside (model, IMEI, path, charset name) are shown with their control characters
// escaped.
class ExportSummary {
public:
    std::string model;
    std::string imei;
    ExportOutcome outcome;
    // The storages the phone offers: one not chosen that it does not offer "has none".
    std::vector<StorageKind> offered;
    std::string path;             // as shown
    bool standardOutput = false;  // the contacts went to standard output

    std::string text() const;

    // What follows a storage's label.
    static std::string storageText(const StorageOutcome& storage, bool offered);
    // What follows the file's label.
    static std::string fileText(FileState state, const std::string& path);
    // "UTF-16 with byte-order mark", "UTF-8 with byte-order mark", "ASCII" or "UTF-8 without
    // byte-order mark" (a vCard file, whatever the phone's charset).
    static std::string fileEncodingText(FileEncoding encoding);
};
