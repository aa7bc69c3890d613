#include "cli/ProgressDisplay.h"

#include <algorithm>

#include "cli/UserMessages.h"

namespace {

std::string capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string paddedName(std::int32_t storageKind) {
    std::string name = capitalised(UserMessages::storageName(storageKind));
    if (name.size() < 12) {
        name.append(12 - name.size(), ' ');
    }
    return name;
}

}  // namespace

ProgressDisplay::ProgressDisplay(std::ostream& out, Mode mode) : out_(out), mode_(mode) {}

std::string ProgressDisplay::barLine(std::int32_t storageKind, std::int32_t position,
                                     std::int32_t total, int width) {
    const std::int64_t shownTotal = std::max<std::int32_t>(total, 0);
    const std::int64_t shown = std::clamp<std::int64_t>(position, 0, shownTotal);
    const std::int64_t filled = shownTotal == 0 ? 0 : shown * width / shownTotal;
    std::string line = paddedName(storageKind) + "  [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(width - filled), '.');
    line += "]  " + std::to_string(shown) + "/" + std::to_string(shownTotal);
    return line;
}

std::string ProgressDisplay::endLine(std::int32_t storageKind, std::int32_t position,
                                     std::int32_t total, ExportResult result) {
    const std::int32_t shownTotal = std::max<std::int32_t>(total, 0);
    return capitalised(UserMessages::storageName(storageKind)) + ": " +
           std::string(exportResultName(result)) + ", " +
           std::to_string(std::clamp(position, 0, shownTotal)) + " of " +
           std::to_string(shownTotal) + " positions read";
}

void ProgressDisplay::started(std::int32_t storageKind, std::int32_t total) {
    if (lineOpen_) {
        interrupt();
    }
    kind_ = storageKind;
    total_ = total;
    position_ = 0;
    active_ = true;
    drawn_.clear();
    draw();
}

void ProgressDisplay::progress(std::int32_t position) {
    if (!active_) {
        return;
    }
    position_ = position;
    draw();
}

void ProgressDisplay::finished(std::int32_t storageKind, ExportResult result) {
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
            out_ << endLine(kind_, position_, total_, result) << '\n' << std::flush;
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
