#include "pages/CompletionSummary.h"

#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "charsets/Utf16.h"
#include "pages/PhoneCauseTexts.h"

namespace {

std::u16string decimal(std::int32_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

std::u16string CompletionSummary::shortenPath(const std::u16string& path, std::size_t limit) {
    constexpr std::u16string_view kEllipsis = u"...";
    const std::size_t length = path.size();
    if (length <= limit || limit <= kEllipsis.size()) {
        return path;
    }
    const std::size_t slash = path.rfind(u'/');
    std::size_t tailStart = slash == std::u16string::npos ? 0 : slash;
    const std::size_t removed = length - limit + kEllipsis.size();
    std::size_t headLength = 0;
    if (tailStart >= removed) {
        headLength = tailStart - removed;
    } else {
        // The file name alone is too long: its end only.
        tailStart = length - (limit - kEllipsis.size());
    }
    if (headLength > 0 && utf16::isHighSurrogate(path[headLength - 1])) {
        --headLength;
    }
    if (tailStart < length && utf16::isLowSurrogate(path[tailStart])) {
        ++tailStart;
    }
    std::u16string shown = path.substr(0, headLength);
    shown += kEllipsis;
    shown += path.substr(tailStart);
    return shown;
}

std::uint32_t CompletionSummary::statusTextId(ExportResult result) {
    switch (result) {
        case ExportResult::None:
        case ExportResult::Cancelled:
            return ui_text::StatusCancelled;
        case ExportResult::Completed:
            return ui_text::StatusCompleted;
        case ExportResult::WriteError:
            return ui_text::StatusWriteError;
        case ExportResult::Failed:
        case ExportResult::Disconnected:
            break;
    }
    return ui_text::StatusFailed;
}

std::u16string CompletionSummary::storageLine(const AppContext& app, StorageKind storageKind,
                                              bool chosen, const ExportStatistics& statistics,
                                              causes::Cause cause) {
    const std::u16string name =
        app.text(storageKind == StorageKind::Memory ? ui_text::MemoryName : ui_text::SimName);
    std::u16string line =
        formatText(app.text(ui_text::StorageHeading), {std::u16string_view(name)});
    line += u' ';
    if (!chosen) {
        return line + app.text(ui_text::NotChosen);
    }
    const std::vector<std::u16string> arguments{
        app.text(statusTextId(statistics.result)), decimal(statistics.contactsWritten),
        decimal(statistics.entriesRead), decimal(statistics.entriesTotal)};
    line += formatText(app.text(ui_text::StorageCounts), arguments);
    if (cause != causes::Cause::None) {
        line +=
            u'\n' + PhoneCauseTexts::what(app, cause) + u' ' + PhoneCauseTexts::wayOut(app, cause);
    }
    return line;
}

std::u16string CompletionSummary::charsetLine(const AppContext& app, const ExportOutcome& outcome) {
    const std::uint32_t id = outcome.fileEncoding() == FileEncoding::Utf8
                                 ? ui_text::SummaryCharsetVCard
                                 : ui_text::SummaryCharset;
    return formatText(app.text(id), {std::u16string_view(outcome.phoneCharset)});
}
