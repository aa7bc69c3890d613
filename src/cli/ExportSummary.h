#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ExportResult.h"
#include "common/ExportStatistics.h"
#include "common/StorageKind.h"

// The summary printed when an export has ended, one line per storage with its outcome and the
// places, entries and contacts it came to (the same words and counts as the progress display):
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
    struct Storage {
        enum class Choice { Chosen, NotChosen, NotOffered };

        StorageKind kind = StorageKind::Unknown;
        Choice choice = Choice::Chosen;
        ExportResult result = ExportResult::None;  // as the storage reported it
        std::int32_t placesRead = 0;
        std::int32_t places = 0;
        ExportStatistics statistics;  // entries read and contacts written
    };

    // What became of the output file.
    enum class FileState {
        Saved,           // it holds the contacts exported
        LeftAsItWas,     // nothing was exported; the file there was not touched
        NotCreated,      // nothing was exported and there was no file
        NotReplaced,     // the exported file could not take its place; it was not touched
        StandardOutput,  // the contacts went to standard output
    };

    std::string model;
    std::string imei;
    std::vector<Storage> storages;
    FileState fileState = FileState::Saved;
    std::string path;
    std::string charsetName;
    std::int32_t outputCharset = 0;

    std::string text() const;

    // What follows a storage's label.
    static std::string storageText(const Storage& storage);
    // What follows the file's label.
    static std::string fileText(FileState state, const std::string& path);
    // "UTF-16 with byte-order mark", "UTF-8 with byte-order mark" or "ASCII".
    static std::string outputCharsetText(std::int32_t outputCharset);
};
