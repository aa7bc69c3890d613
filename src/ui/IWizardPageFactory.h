#pragma once

#include "ui/WizardPageId.h"

class AppContext;
class IUserDialogs;
class IWizardSheet;
class QWidget;
class WizardPage;

// Makes the wizard's pages for the sheet, one call per page in the fixed order. The sheet
// takes ownership of each page through Qt (the page's parent is the sheet); tests supply a
// factory with pages of their own.
class IWizardPageFactory {
public:
    virtual ~IWizardPageFactory() = default;

    // The page of the id, never null.
    virtual WizardPage* createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                                   IUserDialogs& dialogs, QWidget* parent) = 0;
};
