#pragma once

#include "ui/WizardPage.h"

// A stand-in for a page of the wizard that is not part of this build yet (contacts source,
// output path, exporting, completion): it follows the page flow of the page it stands for
// (its buttons, where Back leads, whether Cancel may close the wizard) without doing that
// page's work, so that the wizard can be walked from end to end. It is replaced by the real
// page in WizardPageFactory.
class PlaceholderPage final : public WizardPage {
    Q_OBJECT

public:
    PlaceholderPage(WizardPageId id, AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                    QWidget* parent = nullptr);

    bool onSetActive() override;
    Transition onWizardBack() override;
    bool onQueryCancel() override;
};
