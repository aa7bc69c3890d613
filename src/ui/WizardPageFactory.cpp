#include "ui/WizardPageFactory.h"

#include "ui/CWizardDeviceList.h"
#include "ui/CWizardWelcome.h"
#include "ui/PlaceholderPage.h"

WizardPageFactory::WizardPageFactory(DeviceRoots roots) : roots_(std::move(roots)) {}

WizardPage* WizardPageFactory::createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                                          IUserDialogs& dialogs, QWidget* parent) {
    switch (id) {
        case WizardPageId::Welcome:
            return new CWizardWelcome(app, sheet, dialogs, parent);
        case WizardPageId::DeviceList:
            return new CWizardDeviceList(app, sheet, dialogs, roots_, parent);
        case WizardPageId::ContactsSource:
        case WizardPageId::OutputPath:
        case WizardPageId::Exporting:
        case WizardPageId::Completion:
            break;
    }
    // The contacts source, output path, exporting and completion pages (each constructed as
    // (app, sheet, dialogs, parent)) take these places when they join the build.
    return new PlaceholderPage(id, app, sheet, dialogs, parent);
}
