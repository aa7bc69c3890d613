#pragma once

#include <QString>

#include <memory>

#include "app/IAppHost.h"
#include "devices/DeviceRoots.h"
#include "ui/QtTranslations.h"

class CWizardSheet;
class IUserDialogs;
class SingleInstance;

// The wizard program's side of the run (runApplication): message boxes without owner, the one
// instance per user session (a second start brings this one's wizard to the front), the modal
// wizard, and Qt's own translations for the UI language.
class QtAppHost final : public IAppHost {
public:
    struct Options {
        // Where the device list looks for phones.
        DeviceRoots deviceRoots = DeviceRoots::fromEnvironment();
        // The single-instance socket (SingleInstance::defaultSocketPath()).
        QString instanceSocket;
        // Writes "contaxio: first page shown" and "contaxio: brought to the front" to standard
        // error when they happen (CONTAXIO_TRACE=1), for start-up measurements and tests of
        // the program as a whole.
        bool trace = false;
        // Writes the boxes without owner (the critical error, another instance out of reach)
        // to standard error instead: for a platform without a screen (offscreen), where nobody
        // could see or answer a box.
        bool errorsToStandardError = false;
    };

    QtAppHost(IUserDialogs& dialogs, Options options);
    ~QtAppHost() override;
    QtAppHost(const QtAppHost&) = delete;
    QtAppHost& operator=(const QtAppHost&) = delete;

    void showError(const std::u16string& caption, const std::u16string& text) override;
    InstanceClaim claimInstance() override;
    void runWizard(AppContext& app) override;
    void releaseInstance() override;

private:
    IUserDialogs& dialogs_;
    Options options_;
    std::unique_ptr<SingleInstance> instance_;
    QtTranslations translations_;
};
