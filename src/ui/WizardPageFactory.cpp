#include "ui/WizardPageFactory.h"

#include "ui/CWizardCompletion.h"
#include "ui/CWizardContactsSelection.h"
#include "ui/CWizardDeviceList.h"
#include "ui/CWizardExporting.h"
#include "ui/CWizardPathSelection.h"
#include "ui/CWizardWelcome.h"

WizardPageFactory::WizardPageFactory(DeviceRoots roots) : roots_(std::move(roots)) {}

WizardPage* WizardPageFactory::createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                                          IUserDialogs& dialogs, QWidget* parent) {
    switch (id) {
        case WizardPageId::Welcome:
            return new CWizardWelcome(app, sheet, dialogs, parent);
        case WizardPageId::DeviceList:
            return new CWizardDeviceList(app, sheet, dialogs, roots_, parent);
        case WizardPageId::ContactsSource:
            return new CWizardContactsSelection(app, sheet, dialogs, parent);
        case WizardPageId::OutputPath:
            return new CWizardPathSelection(app, sheet, dialogs, parent);
        case WizardPageId::Exporting:
            return new CWizardExporting(app, sheet, dialogs, parent);
        case WizardPageId::Completion:
            break;
    }
    return new CWizardCompletion(app, sheet, dialogs, parent);
}
