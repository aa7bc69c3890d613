#pragma once

#include <QString>
#include <QWizard>

#include <vector>

#include "ui/IWizardSheet.h"
#include "ui/WizardPage.h"

namespace ui_test {

// The sheet a page test puts its pages in: a real QWizard (so that a page looks as it will in
// the wizard, for the screenshots) that records what the pages ask of the sheet instead of
// acting on it. Next presses and jumps are only counted; the test decides what follows.
class TestWizardSheet final : public QWizard, public IWizardSheet {
public:
    TestWizardSheet();

    // Takes the page (owned from now on), under its page id.
    void host(WizardPage* page);
    // Makes the page current as the sheet would (the page is shown, then its onSetActive runs)
    // and returns what onSetActive returned.
    bool activate(WizardPage& page);
    // Shows the wizard on the current page with the buttons the page enabled, and saves a
    // screenshot of it named after the running test and the suffix.
    void screenshot(const QString& suffix);

    // IWizardSheet
    void setCaption(const QString& caption) override;
    void setWizardButtons(unsigned buttons) override;
    void pressNext() override { ++nextPresses; }
    void switchToPage(WizardPageId page) override { jumps.push_back(page); }
    WizardPageId currentPageId() const override { return current; }
    void refreshButtonLabels() override { ++labelRefreshes; }
    void notifyDeviceRemoved() override { ++removalNotices; }

    // The buttons the page enabled last; NoButton before the first call.
    unsigned lastButtons() const {
        return buttons.empty() ? IWizardSheet::NoButton : buttons.back();
    }

    WizardPageId current = WizardPageId::Welcome;
    std::vector<QString> captions;
    std::vector<unsigned> buttons;
    int nextPresses = 0;
    std::vector<WizardPageId> jumps;
    int labelRefreshes = 0;
    int removalNotices = 0;

private:
    void showButtons();
};

}  // namespace ui_test
