#pragma once

#include <cstdint>

#include "common/StorageKind.h"
#include "session/IExportSessionListener.h"

// What the exporting page shows and asks, as UI text ids.
class ExportingTexts {
public:
    // The caption and text of a question.
    struct Question {
        std::uint32_t captionId;
        std::uint32_t textId;
    };

    // The text shown above the progress bar while a storage is exported; 0 for none.
    static std::uint32_t storageTextId(StorageKind storageKind);
    // The question after a failed write during the export.
    static Question writeErrorQuestion(const WriteFailure& failure);
    // The question when the output file cannot be created at the start, or the exported file
    // cannot take its place at the end.
    static Question fileQuestion(const FileProblem& problem);
};
