#pragma once

#include <string>
#include <vector>

class AppContext;
class IAppHost;

// How a run ended.
enum class RunOutcome {
    NoLanguages,        // no usable language file was found: critical error shown
    Uninstalled,        // "-uninstall" was given: the settings were removed, nothing shown
    LanguageNotLoaded,  // the language to use could not be loaded: critical error shown
    OtherInstance,      // another instance runs: it was brought forward, or the user was told
    WizardClosed,       // the wizard ran and was closed; ports closed and settings saved
};

// The caption and text of the critical error box, shown when no language can be had; the only
// texts the program carries itself.
extern const char16_t* const kCriticalErrorCaption;
extern const char16_t* const kCriticalErrorText;

// The program's run, between the making and the destruction of its AppContext:
//  1. scans the language folders; none usable: the critical error box, and the run ends;
//  2. makes the settings folder and loads the settings (which sets the saved language);
//  3. with the word "-uninstall" (exactly so) among the arguments, removes the settings file
//     and the settings folders when empty, and ends without a window;
//  4. takes the saved language, else the best one for the user's locale, else 1033;
//  5. loads it; when that fails (a saved language whose file is gone included), the critical
//     error box, and the run ends: there is no falling back to another language;
//  6. makes it the current language;
//  7. claims the single instance; when another instance runs, it has been brought forward, or
//     the user is told (text 10286 under caption 10281), and the run ends;
//  8. runs the wizard;
//  9. then closes the port of every phone still open and saves the settings (also when the
//     wizard was cancelled, or ended by an exception, which then goes on to the caller), and
//     gives up the instance.
// The arguments are the program's arguments without the program name.
RunOutcome runApplication(AppContext& app, IAppHost& host,
                          const std::vector<std::string>& arguments);
