#include "ScriptedPages.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/CWizardDeviceList.h"
#include "ui/CWizardWelcome.h"
#include "ui/IWizardSheet.h"

namespace ui_test {

QString nameOf(WizardPageId id) {
    switch (id) {
        case WizardPageId::Welcome:
            return QStringLiteral("Welcome");
        case WizardPageId::DeviceList:
            return QStringLiteral("DeviceList");
        case WizardPageId::ContactsSource:
            return QStringLiteral("ContactsSource");
        case WizardPageId::OutputPath:
            return QStringLiteral("OutputPath");
        case WizardPageId::Exporting:
            return QStringLiteral("Exporting");
        case WizardPageId::Completion:
            break;
    }
    return QStringLiteral("Completion");
}

ScriptedPage::ScriptedPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                           IUserDialogs& dialogs, std::vector<QString>& log, QWidget* parent)
    : WizardPage(id, 100 + static_cast<int>(id), app, sheet, dialogs, parent), log_(log) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Scripted page ") + nameOf(id), this));
}

void ScriptedPage::record(const char* what) {
    log_.push_back(nameOf(pageId()) + u':' + QLatin1String(what));
}

bool ScriptedPage::onSetActive() {
    record("active");
    // Set also when the page then refuses: the sheet must not keep them.
    sheet().setWizardButtons(buttons);
    if (refreshesLabels) {
        sheet().refreshButtonLabels();
    }
    if (whenActivated) {
        whenActivated();
    }
    return accepts;
}

WizardPage::Transition ScriptedPage::onWizardNext() {
    record("next");
    return next;
}

WizardPage::Transition ScriptedPage::onWizardBack() {
    record("back");
    return back;
}

bool ScriptedPage::onQueryCancel() {
    record("cancel");
    return mayQuit;
}

void ScriptedPage::onDeviceRemoved() {
    record("removed");
    ++removals;
}

WizardPage* ScriptedPageFactory::createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                                            IUserDialogs& dialogs, QWidget* parent) {
    switch (id) {
        case WizardPageId::Welcome:
            return new CWizardWelcome(app, sheet, dialogs, parent);
        case WizardPageId::DeviceList:
            return new CWizardDeviceList(app, sheet, dialogs, roots_, parent);
        default:
            break;
    }
    auto* page = new ScriptedPage(id, app, sheet, dialogs, log_, parent);
    pages_[id] = page;
    return page;
}

}  // namespace ui_test
