#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "common/ExportResult.h"
#include "common/StorageKind.h"

// Shows how far the export of each storage has come, on standard error, in the places of the
// storage's phonebook read (see ExportTexts::places):
//
// - on a terminal, a bar redrawn in place, ended with the storage's outcome;
// - otherwise (a log, a pipe) lines: one when a storage starts, then one whenever another
//   tenth of its places has been read or kLineInterval has passed since the last line,
//   whichever comes first, and one with the outcome when it ends;
// - nothing when quiet.
//
// The time is passed in, so that the cadence does not depend on the clock of whoever tests it.
// Used on the main thread only.
class ProgressDisplay {
public:
    enum class Mode { Bar, Lines, Quiet };
    using Clock = std::chrono::steady_clock;

    static constexpr int kBarWidth = 24;
    static constexpr std::chrono::seconds kLineInterval{5};

    ProgressDisplay(std::ostream& out, Mode mode);

    // A storage's export began; total is the number of places it will read.
    void started(StorageKind storageKind, std::int32_t total, Clock::time_point now);
    // position: places read so far.
    void progress(std::int32_t position, Clock::time_point now);
    // Time passes without progress: in line mode, a line when the last one is kLineInterval old.
    void tick(Clock::time_point now);
    // A storage's export ended (also one that never reported its start), as people are told
    // (StorageOutcome::shownResult).
    void finished(StorageKind storageKind, ExportResult result);
    // Ends a bar drawn in place, so that a message or a question can follow on a line of its
    // own; the bar is drawn again with the next progress.
    void interrupt();

    // "Phone memory  [#####.....]  250 of 500 places read" with a bar of width characters.
    static std::string barLine(StorageKind storageKind, std::int32_t position, std::int32_t total,
                               int width);
    // "Phone memory: reading, 250 of 500 places read", or with the outcome instead of reading.
    static std::string statusLine(StorageKind storageKind, const std::string& state,
                                  std::int32_t position, std::int32_t total);

private:
    void draw();
    void writeLine(const std::string& state, Clock::time_point now);

    std::ostream& out_;
    const Mode mode_;
    StorageKind kind_ = StorageKind::Unknown;
    std::int32_t total_ = 0;
    std::int32_t position_ = 0;
    bool active_ = false;    // a storage has started and not finished
    bool lineOpen_ = false;  // a bar is on the screen without its line end
    std::string drawn_;      // the bar last drawn
    // Line mode: the tenth of the places reached at the last line, and its time.
    std::int64_t tenthShown_ = 0;
    Clock::time_point lastLine_{};
};
