#include "ui/PlaceholderPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/IWizardSheet.h"

namespace {

std::int32_t helpTopicOf(WizardPageId id) {
    switch (id) {
        case WizardPageId::ContactsSource:
            return 1;
        case WizardPageId::OutputPath:
            return 7;
        case WizardPageId::Exporting:
            return 6;
        case WizardPageId::Completion:
            return 0;
        case WizardPageId::Welcome:
            return 8;
        case WizardPageId::DeviceList:
            break;
    }
    return 5;
}

}  // namespace

PlaceholderPage::PlaceholderPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                                 IUserDialogs& dialogs, QWidget* parent)
    : WizardPage(id, helpTopicOf(id), app, sheet, dialogs, parent) {
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("This page is not part of this build yet."), this);
    note->setEnabled(false);
    layout->addWidget(note);
    layout->addStretch(1);
}

bool PlaceholderPage::onSetActive() {
    switch (pageId()) {
        case WizardPageId::Exporting:
            sheet().setWizardButtons(IWizardSheet::NoButton);
            sheet().pressNext();
            break;
        case WizardPageId::Completion:
            sheet().refreshButtonLabels();
            sheet().setWizardButtons(IWizardSheet::BackButton);
            break;
        default:
            sheet().setWizardButtons(IWizardSheet::BackButton | IWizardSheet::NextButton);
            break;
    }
    return true;
}

WizardPage::Transition PlaceholderPage::onWizardBack() {
    return pageId() == WizardPageId::Completion ? Transition::jumpTo(WizardPageId::DeviceList)
                                                : Transition::step();
}

bool PlaceholderPage::onQueryCancel() {
    return pageId() != WizardPageId::Exporting;
}
