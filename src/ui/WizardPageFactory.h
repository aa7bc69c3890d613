#pragma once

#include "devices/DeviceRoots.h"
#include "ui/IWizardPageFactory.h"

// The wizard's own pages. The device list reads the devices below the roots given (the real
// /sys and /dev, or the demo's simulated tree).
class WizardPageFactory final : public IWizardPageFactory {
public:
    explicit WizardPageFactory(DeviceRoots roots = DeviceRoots::fromEnvironment());

    WizardPage* createPage(WizardPageId id, AppContext& app, IWizardSheet& sheet,
                           IUserDialogs& dialogs, QWidget* parent) override;

private:
    DeviceRoots roots_;
};
