#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/ExportResult.h"
#include "common/ExportStatistics.h"
#include "common/StorageKind.h"
#include "ui/WizardPage.h"

class QLabel;

// The completion page: the summary of the export that has just ended (the phone, one line per
// storage with its status and counts or "not chosen", the output file and the character set),
// after which the phone is released. Only Back is offered (it leads to the device list); the
// sheet labels Cancel as the button that closes the wizard here.
class CWizardCompletion final : public WizardPage {
    Q_OBJECT

public:
    // The longest output path shown as it is; a longer one loses characters in its middle.
    static constexpr std::size_t kPathDisplayLimit = 90;

    CWizardCompletion(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                      QWidget* parent = nullptr);

    bool onSetActive() override;
    Transition onWizardBack() override { return Transition::jumpTo(WizardPageId::DeviceList); }

    // --- The page's decisions, in plain C++ ---------------------------------------------

    // A path of at most limit UTF-16 units as it is; a longer one as its beginning, "..." and
    // its end from its last "/" on, limit units in all (the whole end when the file name alone
    // is too long). A character made of two units is never cut in half: the text is then one
    // unit shorter.
    static std::u16string shortenPath(const std::u16string& path,
                                      std::size_t limit = kPathDisplayLimit);
    // The status text id of an export result.
    static std::uint32_t statusTextId(ExportResult result);
    // The summary line of a storage: "<name>: " and "not chosen", or the status with the
    // counts of the statistics.
    static std::u16string storageLine(const AppContext& app, StorageKind storageKind, bool chosen,
                                      const ExportStatistics& statistics);

private:
    void fillSummary();

    QLabel* heading_ = nullptr;
    QLabel* phoneLine_ = nullptr;
    QLabel* memoryLine_ = nullptr;
    QLabel* simLine_ = nullptr;
    QLabel* pathLine_ = nullptr;
    QLabel* charsetLine_ = nullptr;
};
