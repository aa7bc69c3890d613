#include "cli/ProgressDisplay.h"

#include <algorithm>

#include "cli/ExportTexts.h"

namespace {

std::string paddedLabel(StorageKind storageKind) {
    std::string name = ExportTexts::storageLabel(storageKind);
    if (name.size() < 12) {
        name.append(12 - name.size(), ' ');
    }
    return name;
}

// Tenths of the places read, 0 to 10.
std::int64_t tenths(std::int32_t position, std::int32_t total) {
    if (total <= 0) {
        return 0;
    }
    return std::clamp<std::int64_t>(position, 0, total) * 10 / total;
}

constexpr const char* kReading = "reading";

}  // namespace

ProgressDisplay::ProgressDisplay(std::ostream& out, Mode mode) : out_(out), mode_(mode) {}

std::string ProgressDisplay::barLine(StorageKind storageKind, std::int32_t position,
                                     std::int32_t total, int width) {
    const std::int64_t shownTotal = std::max<std::int32_t>(total, 0);
    const std::int64_t shown = std::clamp<std::int64_t>(position, 0, shownTotal);
    const std::int64_t filled = shownTotal == 0 ? 0 : shown * width / shownTotal;
    std::string line = paddedLabel(storageKind) + "  [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(width - filled), '.');
    line += "]  " + ExportTexts::places(position, total);
    return line;
}

std::string ProgressDisplay::statusLine(StorageKind storageKind, const std::string& state,
                                        std::int32_t position, std::int32_t total) {
    return ExportTexts::storageLabel(storageKind) + ": " + state + ", " +
           ExportTexts::places(position, total);
}

void ProgressDisplay::started(StorageKind storageKind, std::int32_t total, Clock::time_point now) {
    if (lineOpen_) {
        interrupt();
    }
    kind_ = storageKind;
    total_ = total;
    position_ = 0;
    active_ = true;
    drawn_.clear();
    if (mode_ == Mode::Lines) {
        writeLine(kReading, now);
    }
    draw();
}

void ProgressDisplay::progress(std::int32_t position, Clock::time_point now) {
    if (!active_) {
        return;
    }
    position_ = position;
    if (mode_ == Mode::Lines) {
        // The last tenth is told by the line that ends the storage.
        const std::int64_t reached = tenths(position_, total_);
        if ((reached > tenthShown_ && reached < 10) || now - lastLine_ >= kLineInterval) {
            writeLine(kReading, now);
        }
        return;
    }
    draw();
}

void ProgressDisplay::tick(Clock::time_point now) {
    if (mode_ == Mode::Lines && active_ && now - lastLine_ >= kLineInterval) {
        writeLine(kReading, now);
    }
}

void ProgressDisplay::finished(StorageKind storageKind, ExportResult result) {
    if (!active_ || kind_ != storageKind) {
        // The storage failed before it reported its start.
        kind_ = storageKind;
        total_ = 0;
        position_ = 0;
    }
    active_ = false;
    switch (mode_) {
        case Mode::Quiet:
            break;
        case Mode::Bar:
            out_ << '\r' << barLine(kind_, position_, total_, kBarWidth) << "  "
                 << exportResultName(result) << '\n'
                 << std::flush;
            lineOpen_ = false;
            break;
        case Mode::Lines:
            out_ << statusLine(kind_, std::string(exportResultName(result)), position_, total_)
                 << '\n'
                 << std::flush;
            break;
    }
    drawn_.clear();
}

void ProgressDisplay::interrupt() {
    if (lineOpen_) {
        out_ << '\n' << std::flush;
        lineOpen_ = false;
        drawn_.clear();
    }
}

void ProgressDisplay::writeLine(const std::string& state, Clock::time_point now) {
    out_ << statusLine(kind_, state, position_, total_) << '\n' << std::flush;
    tenthShown_ = tenths(position_, total_);
    lastLine_ = now;
}

void ProgressDisplay::draw() {
    if (mode_ != Mode::Bar) {
        return;
    }
    const std::string line = barLine(kind_, position_, total_, kBarWidth);
    if (line == drawn_ && lineOpen_) {
        return;
    }
    out_ << '\r' << line << std::flush;
    drawn_ = line;
    lineOpen_ = true;
}
