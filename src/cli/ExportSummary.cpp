#include "cli/ExportSummary.h"

#include "charsets/CharsetChoice.h"
#include "cli/ExportTexts.h"
#include "cli/ShownText.h"

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

std::string ExportSummary::storageText(const Storage& storage) {
    switch (storage.choice) {
        case Storage::Choice::NotChosen:
            return "not chosen";
        case Storage::Choice::NotOffered:
            return "the phone has none";
        case Storage::Choice::Chosen:
            break;
    }
    return ExportTexts::outcome(storage.result) + ", " +
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
        case FileState::StandardOutput:
            return "standard output";
    }
    return shown;
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
    std::string text = label("Phone") + (model.empty() ? "unknown model" : shownText(model));
    if (!imei.empty()) {
        text += ", IMEI " + shownText(imei);
    }
    text += '\n';
    for (const Storage& storage : storages) {
        text += label(ExportTexts::storageLabel(storage.kind)) + storageText(storage) + '\n';
    }
    text += label("File") + fileText(fileState, path) + '\n';
    text += label("Charset") + shownText(charsetName) + " (file in " +
            outputCharsetText(outputCharset) + ")\n";
    return text;
}
