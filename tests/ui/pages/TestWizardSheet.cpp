#include "TestWizardSheet.h"

#include <QAbstractButton>
#include <QApplication>

#include "Screenshots.h"
#include "ui/WizardArtwork.h"

namespace ui_test {

TestWizardSheet::TestWizardSheet() {
    setWizardStyle(QWizard::ModernStyle);
    setOption(QWizard::HaveHelpButton, true);
    setButtonLayout({QWizard::HelpButton, QWizard::Stretch, QWizard::BackButton,
                     QWizard::NextButton, QWizard::CancelButton});
    applyWizardArtwork(this);
    resize(620, 460);
}

void TestWizardSheet::host(WizardPage* page) {
    setPage(static_cast<int>(page->pageId()), page);
}

bool TestWizardSheet::activate(WizardPage& page) {
    current = page.pageId();
    setStartId(static_cast<int>(page.pageId()));
    restart();
    const bool shown = page.onSetActive();
    showButtons();
    return shown;
}

void TestWizardSheet::screenshot(const QString& suffix) {
    if (screenshotFolder().isEmpty()) {
        return;
    }
    show();
    showButtons();
    QApplication::processEvents();
    saveScreenshot(this, currentTestName() + u'-' + suffix);
}

void TestWizardSheet::setCaption(const QString& caption) {
    captions.push_back(caption);
    setWindowTitle(caption);
}

void TestWizardSheet::setWizardButtons(unsigned enabled) {
    buttons.push_back(enabled);
    showButtons();
}

void TestWizardSheet::showButtons() {
    const unsigned enabled = lastButtons();
    button(QWizard::BackButton)->setVisible(true);
    button(QWizard::BackButton)->setEnabled((enabled & IWizardSheet::BackButton) != 0);
    button(QWizard::NextButton)->setVisible(true);
    button(QWizard::NextButton)->setEnabled((enabled & IWizardSheet::NextButton) != 0);
    button(QWizard::FinishButton)->setVisible(false);
    button(QWizard::CommitButton)->setVisible(false);
}

}  // namespace ui_test
