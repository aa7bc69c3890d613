#include "app/ApplicationRun.h"

#include <algorithm>

#include "app/AppContext.h"
#include "app/IAppHost.h"
#include "app/LanguageIds.h"
#include "app/LanguageManager.h"
#include "app/SettingsLocation.h"
#include "app/UiTextIds.h"
#include "tasks/ModemRegistry.h"

const char16_t* const kCriticalErrorCaption = u"Critical Error";
const char16_t* const kCriticalErrorText =
    u"Contaxio could not to load application components.\n"
    u"Application will close. Reinstall application can fix the problem.";

namespace {

void showCriticalError(IAppHost& host) {
    host.showError(kCriticalErrorCaption, kCriticalErrorText);
}

// Closes the ports, saves the settings and gives up the instance when the wizard has ended,
// however it ended.
class WizardEnd {
public:
    WizardEnd(AppContext& app, IAppHost& host) : app_(app), host_(host) {}
    ~WizardEnd() {
        ModemRegistry::instance().closeAllPorts();
        app_.saveSettings();
        host_.releaseInstance();
    }
    WizardEnd(const WizardEnd&) = delete;
    WizardEnd& operator=(const WizardEnd&) = delete;

private:
    AppContext& app_;
    IAppHost& host_;
};

}  // namespace

RunOutcome runApplication(AppContext& app, IAppHost& host,
                          const std::vector<std::string>& arguments) {
    LanguageManager& languages = app.languageManager();
    languages.scan(app.environment().languageFolders);
    if (languages.count() == 0) {
        showCriticalError(host);
        return RunOutcome::NoLanguages;
    }

    app.loadSettings(settings_location::prepare(app.environment().configHome));

    if (std::find(arguments.begin(), arguments.end(), "-uninstall") != arguments.end()) {
        settings_location::uninstall(app.settingsFilePath(), app.environment().configHome);
        return RunOutcome::Uninstalled;
    }

    std::uint16_t id = languages.language();
    if (id == 0) {
        id = languages.detectLanguage(app.environment().locale);
    }
    if (id == 0) {
        id = language_ids::kEnglishUnitedStates;
    }
    languages.unload();
    if (!languages.load(id)) {
        showCriticalError(host);
        return RunOutcome::LanguageNotLoaded;
    }
    languages.setLanguage(id);

    switch (host.claimInstance()) {
        case IAppHost::InstanceClaim::Acquired:
            break;
        case IAppHost::InstanceClaim::BroughtForward:
            return RunOutcome::OtherInstance;
        case IAppHost::InstanceClaim::OtherUnreachable:
            host.showError(app.text(ui_text::ErrorCaption),
                           app.text(ui_text::OtherInstanceUnreachable));
            return RunOutcome::OtherInstance;
    }

    {
        const WizardEnd end(app, host);
        host.runWizard(app);
    }
    return RunOutcome::WizardClosed;
}
