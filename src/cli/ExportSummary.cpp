#include "cli/ExportSummary.h"

#include <algorithm>

#include "charsets/ShownText.h"
#include "charsets/TextCodec.h"
#include "cli/ExportTexts.h"

namespace {

std::string label(std::string name) {
    name += ':';
    if (name.size() < 15) {
        name.append(15 - name.size(), ' ');
    } else {
        name += ' ';
    }
    return name;
}

}  // namespace

std::string ExportSummary::storageText(const StorageOutcome& storage, bool offered) {
    if (!storage.chosen) {
        return offered ? "not chosen" : "the phone has none";
    }
    return std::string(exportResultName(storage.shownResult())) + ", " +
           ExportTexts::places(storage.placesRead, storage.places) + ", " +
           ExportTexts::counted(storage.statistics.entriesRead, "entry", "entries") + " in " +
           ExportTexts::counted(storage.statistics.contactsWritten, "contact", "contacts") +
           " written";
}

std::string ExportSummary::fileText(FileState state, const std::string& path) {
    const std::string shown = shownText(path);
    switch (state) {
        case FileState::Saved:
            return shown;
        case FileState::LeftAsItWas:
            return shown + " (left as it was, as no contact was exported)";
        case FileState::NotCreated:
            return "none (no contact was exported, so " + shown + " was not created)";
        case FileState::NotReplaced:
            return shown + " (left as it was, as the exported contacts could not take its place)";
    }
    return shown;
}

std::string ExportSummary::fileEncodingText(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf16WithMark:
            return "UTF-16 with byte-order mark";
        case FileEncoding::Utf8WithMark:
            return "UTF-8 with byte-order mark";
        case FileEncoding::Utf8:
            return "UTF-8 without byte-order mark";
        case FileEncoding::Ascii:
            break;
    }
    return "ASCII";
}

std::string ExportSummary::text() const {
    std::string text = label("Phone") + (model.empty() ? "unknown model" : shownText(model));
    if (!imei.empty()) {
        text += ", IMEI " + shownText(imei);
    }
    text += '\n';
    for (const StorageOutcome& storage : outcome.storages) {
        const bool isOffered =
            std::find(offered.begin(), offered.end(), storage.kind) != offered.end();
        text +=
            label(ExportTexts::storageLabel(storage.kind)) + storageText(storage, isOffered) + '\n';
    }
    text += label("File") +
            (standardOutput ? std::string("standard output") : fileText(outcome.file, path)) + '\n';
    text += label("Charset") + shownText(text_codec::toUtf8(outcome.phoneCharset)) + " (file in " +
            fileEncodingText(outcome.fileEncoding()) + ")\n";
    return text;
}
