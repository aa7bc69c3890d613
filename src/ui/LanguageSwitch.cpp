#include "ui/LanguageSwitch.h"

#include "app/LanguageManager.h"

LanguageSwitchOutcome switchLanguage(LanguageManager& languages, std::uint16_t previous,
                                     std::uint16_t chosen) {
    languages.unload();
    if (languages.load(chosen)) {
        languages.setLanguage(chosen);
        return LanguageSwitchOutcome::Loaded;
    }
    languages.setLanguage(previous);
    return languages.load(previous) ? LanguageSwitchOutcome::KeptPrevious
                                    : LanguageSwitchOutcome::NoneLoaded;
}
