#include "cli/ExportSummary.h"

#include "charsets/CharsetChoice.h"
#include "cli/UserMessages.h"

namespace {

std::string label(std::string name) {
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    name += ':';
    if (name.size() < 15) {
        name.append(15 - name.size(), ' ');
    } else {
        name += ' ';
    }
    return name;
}

}  // namespace

std::string ExportSummary::statusText(ExportResult result) {
    switch (result) {
        case ExportResult::None:
        case ExportResult::Cancelled:
            return "cancelled";
        case ExportResult::Completed:
            return "completed";
        case ExportResult::WriteError:
            return "write error";
        default:
            return "failed";
    }
}

std::string ExportSummary::storageText(bool chosen, const ExportStatistics& statistics) {
    if (!chosen) {
        return "not chosen";
    }
    return statusText(statistics.result) + ", " + std::to_string(statistics.contactsWritten) +
           (statistics.contactsWritten == 1 ? " contact" : " contacts") + " written, " +
           std::to_string(statistics.entriesRead) + " of " +
           std::to_string(statistics.entriesTotal) + " entries read";
}

std::string ExportSummary::outputCharsetText(std::int32_t outputCharset) {
    switch (outputCharset) {
        case output_charset::Ucs2:
            return "UTF-16 with byte-order mark";
        case output_charset::Utf8:
            return "UTF-8 with byte-order mark";
        default:
            return "ASCII";
    }
}

std::string ExportSummary::text() const {
    std::string text = label("phone") + (model.empty() ? "unknown model" : model);
    if (!imei.empty()) {
        text += ", IMEI " + imei;
    }
    text += '\n';
    for (const Storage& storage : storages) {
        text += label(UserMessages::storageName(storage.kind)) +
                storageText(storage.chosen, storage.statistics) + '\n';
    }
    text += label("file") + path + '\n';
    text +=
        label("charset") + charsetName + " (file in " + outputCharsetText(outputCharset) + ")\n";
    return text;
}
