#pragma once

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "devices/DeviceRoots.h"
#include "ui/IWizardPageFactory.h"
#include "ui/WizardPage.h"

namespace ui_test {

// A page whose answers a test sets: whether it accepts to become active, the buttons it
// enables then, where Next and Back lead, whether Cancel may ask to quit. It records the calls
// the sheet makes, in one log shared by all pages ("ContactsSource:active" ...).
class ScriptedPage final : public WizardPage {
    Q_OBJECT

public:
    ScriptedPage(WizardPageId id, AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                 std::vector<QString>& log, QWidget* parent);

    bool onSetActive() override;
    Transition onWizardNext() override;
    Transition onWizardBack() override;
    bool onQueryCancel() override;
    void onDeviceRemoved() override;

    bool accepts = true;
    unsigned buttons = 3;  // Back and Next
    bool refreshesLabels = false;
    Transition next = Transition::step();
    Transition back = Transition::step();
    bool mayQuit = true;
    // Run in onSetActive before it returns (say, a jump of the page's own).
    std::function<void()> whenActivated;
    int removals = 0;

private:
    void record(const char* what);

    std::vector<QString>& log_;
};

// The wizard's real welcome and device list pages (the device list below the roots given)
// and scripted pages in the four other places.
class ScriptedPageFactory final : public IWizardPageFactory {
public:
    explicit ScriptedPageFactory(DeviceRoots roots) : roots_(std::move(roots)) {}

    WizardPage* createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                           IUserDialogs& dialogs, QWidget* parent) override;

    // The scripted page of the id (not the welcome or the device list page).
    ScriptedPage& page(WizardPageId id) const { return *pages_.at(id); }
    const std::vector<QString>& log() const { return log_; }
    void clearLog() { log_.clear(); }

private:
    DeviceRoots roots_;
    std::map<WizardPageId, ScriptedPage*> pages_;
    std::vector<QString> log_;
};

QString nameOf(WizardPageId id);

}  // namespace ui_test
