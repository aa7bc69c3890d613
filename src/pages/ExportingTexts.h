#pragma once

#include <cstdint>
#include <string>

#include "common/StorageKind.h"
#include "session/IExportSessionListener.h"

class AppContext;

// What the exporting page shows and asks, in the UI language.
class ExportingTexts {
public:
    // The caption and text of a Retry/Cancel question.
    struct Question {
        std::u16string caption;
        std::u16string text;
    };

    // When the output file failed, which says what Cancel does.
    enum class FileStep {
        Start,   // it could not be created: Cancel goes back to the output path page
        Write,   // a write failed during the export: Cancel ends the export
        Finish,  // the exported file could not take its place: Cancel gives it up
    };

    // The text shown above the progress bar while a storage is exported; 0 for none.
    static std::uint32_t storageTextId(StorageKind storageKind);

    // The question when the output file at path failed: the cause the table of causes finds
    // for the failure (with the file's folder filled in), its way out, and what Retry and
    // Cancel do. A full disk has the caption of its own.
    static Question fileQuestion(const AppContext& app, const FileProblem& problem, FileStep step,
                                 const std::u16string& path);
    // The question after a failed write during the export.
    static Question writeErrorQuestion(const AppContext& app, const WriteFailure& failure,
                                       const std::u16string& path);
};
