#pragma once

#include "ui/WizardPage.h"

class QLabel;

// The completion page: the summary of the export that has just ended, the export session's
// outcome worded by CompletionSummary (the phone, one line per storage with its status and
// counts or "not chosen", the output file and the character set), after which the phone is
// released. Only Back is offered (it leads to the device list); the
// sheet labels Cancel as the button that closes the wizard here.
class CWizardCompletion final : public WizardPage {
    Q_OBJECT

public:
    CWizardCompletion(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                      QWidget* parent = nullptr);

    bool onSetActive() override;
    Transition onWizardBack() override { return Transition::jumpTo(WizardPageId::DeviceList); }

private:
    void fillSummary();

    QLabel* heading_ = nullptr;
    QLabel* phoneLine_ = nullptr;
    QLabel* memoryLine_ = nullptr;
    QLabel* simLine_ = nullptr;
    QLabel* pathLine_ = nullptr;
    QLabel* charsetLine_ = nullptr;
};
