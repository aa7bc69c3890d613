#pragma once

#include <QString>

#include "ui/IWizardSheet.h"

namespace ui_test {

// The sheet as a single page sees it: records what the page asks for. The current page is
// whatever the test says.
class RecordingSheet final : public IWizardSheet {
public:
    void setCaption(const QString& text) override { caption = text; }
    void setWizardButtons(unsigned enabled) override {
        buttons = enabled;
        ++buttonUpdates;
    }
    void pressNext() override { ++nextPresses; }
    void switchToPage(WizardPageId page) override { current = page; }
    WizardPageId currentPageId() const override { return current; }
    void refreshButtonLabels() override { ++labelRefreshes; }
    void notifyDeviceRemoved() override { ++removals; }
    void endWizard() override { ended = true; }

    WizardPageId current = WizardPageId::DeviceList;
    QString caption;
    unsigned buttons = NoButton;
    int buttonUpdates = 0;
    int nextPresses = 0;
    int labelRefreshes = 0;
    int removals = 0;
    bool ended = false;
};

}  // namespace ui_test
