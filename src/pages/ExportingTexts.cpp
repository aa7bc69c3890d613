#include "pages/ExportingTexts.h"

#include <vector>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "causes/CauseTable.h"
#include "charsets/TextCodec.h"

namespace {

std::uint32_t retryLineOf(ExportingTexts::FileStep step) {
    switch (step) {
        case ExportingTexts::FileStep::Start:
            return ui_text::RetryOrChooseAnother;
        case ExportingTexts::FileStep::Write:
            return ui_text::RetryOrStop;
        case ExportingTexts::FileStep::Finish:
            break;
    }
    return ui_text::RetryOrGiveUp;
}

}  // namespace

std::uint32_t ExportingTexts::storageTextId(StorageKind storageKind) {
    switch (storageKind) {
        case StorageKind::Memory:
            return ui_text::ExportingMemory;
        case StorageKind::Sim:
            return ui_text::ExportingSim;
        default:
            return 0;
    }
}

ExportingTexts::Question ExportingTexts::fileQuestion(const AppContext& app,
                                                      const FileProblem& problem, FileStep step,
                                                      const std::u16string& path) {
    const causes::FileCause cause = causes::causeOfFileError(problem.code, problem.existingFile);
    const causes::CauseEntry& entry = causes::entryOf(cause);
    // The UI texts take the folder as %1, like the English ones.
    std::vector<std::u16string> arguments;
    for (const std::string& argument :
         causes::fileArguments(causes::folderOf(text_codec::toUtf8(path)), "", problem.code)) {
        arguments.push_back(text_codec::fromUtf8(argument));
    }
    Question question;
    question.caption = app.text(cause == causes::FileCause::DiskFull ? ui_text::DiskFullCaption
                                                                     : ui_text::WarningCaption);
    question.text = formatText(app.text(entry.whatTextId), arguments) + u' ' +
                    formatText(app.text(entry.wayOutTextId), arguments) + u"\n\n" +
                    app.text(retryLineOf(step));
    return question;
}

ExportingTexts::Question ExportingTexts::writeErrorQuestion(const AppContext& app,
                                                            const WriteFailure& failure,
                                                            const std::u16string& path) {
    // The session names a full disk ENOSPC when the writer told no errno.
    return fileQuestion(app, FileProblem{failure.code, false}, FileStep::Write, path);
}
