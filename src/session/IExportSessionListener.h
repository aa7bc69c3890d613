#pragma once

#include <cstdint>

#include "common/ExportResult.h"
#include "common/StorageKind.h"

// Writing the output file failed during the export; the phone's worker waits for the answer
// (ExportSession::answerWriteError).
struct WriteFailure {
    bool accessError = false;  // the file could not be written; false: the disk is full
    int code = 0;              // the errno of the failed write (ENOSPC for a full disk)
};

// Finishing the output file failed: the exported file could not take the old one's place.
struct FileProblem {
    int code = 0;               // the errno of the call that failed; 0: not known
    bool existingFile = false;  // it concerns the file already there, not its folder
};

// What an export session tells its front end, on the front end's own thread (through the
// poster the front end gave it), in the order it happened. Each chosen storage is started at
// most once and finished exactly once, in export order; a storage that the export never
// reached is finished as cancelled. onExportEnded comes last, once.
class IExportSessionListener {
public:
    virtual ~IExportSessionListener() = default;

    // places: the index positions the storage will read.
    virtual void onStorageStarted(StorageKind storage, std::int32_t places) = 0;
    virtual void onStorageProgress(std::int32_t placesRead) = 0;
    // result: how it ended, as people are told (never ExportResult::None).
    virtual void onStorageFinished(StorageKind storage, ExportResult result) = 0;
    // A write failed; answer with ExportSession::answerWriteError. Asked once per failure,
    // and only while the session still waits for the answer.
    virtual void onWriteFailed(const WriteFailure& failure) = 0;
    // Every storage has ended, or one ended the export: time to finish the file.
    virtual void onExportEnded() = 0;
};
