#include "pages/ExportingTexts.h"

#include "app/UiTextIds.h"

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

ExportingTexts::Question ExportingTexts::writeErrorQuestion(const WriteFailure& failure) {
    return failure.accessError ? Question{ui_text::WarningCaption, ui_text::CannotWrite}
                               : Question{ui_text::DiskFullCaption, ui_text::DiskFull};
}

ExportingTexts::Question ExportingTexts::fileQuestion(const FileProblem& /*problem*/) {
    return {ui_text::WarningCaption, ui_text::CannotWrite};
}
