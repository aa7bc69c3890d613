#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "common/ExportResult.h"

// Shows how far the export of each storage has come, on standard error: a bar redrawn in
// place when that is a terminal, one line per storage when it ends otherwise, nothing when
// quiet. Used on the main thread only.
class ProgressDisplay {
public:
    enum class Mode { Bar, Lines, Quiet };

    static constexpr int kBarWidth = 30;

    ProgressDisplay(std::ostream& out, Mode mode);

    // A storage's export began; total is the number of index positions it will read.
    void started(std::int32_t storageKind, std::int32_t total);
    // position: index positions read so far.
    void progress(std::int32_t position);
    // A storage's export ended (also one that never reported its start).
    void finished(std::int32_t storageKind, ExportResult result);
    // Ends a bar drawn in place, so that a message or a question can follow on a line of its
    // own; the bar is drawn again with the next progress.
    void interrupt();

    // "Phone memory  [#####.....]  250/500" with a bar of width characters.
    static std::string barLine(std::int32_t storageKind, std::int32_t position, std::int32_t total,
                               int width);
    // "Phone memory: completed, 500 of 500 positions read".
    static std::string endLine(std::int32_t storageKind, std::int32_t position, std::int32_t total,
                               ExportResult result);

private:
    void draw();

    std::ostream& out_;
    const Mode mode_;
    std::int32_t kind_ = 0;
    std::int32_t total_ = 0;
    std::int32_t position_ = 0;
    bool active_ = false;    // a storage has started and not finished
    bool lineOpen_ = false;  // a bar is on the screen without its line end
    std::string drawn_;      // the bar last drawn
};
