#pragma once

#include <cstdint>

class LanguageManager;

// Loading the language the user chose in the language dialog, with the fallback when its file
// cannot be loaded (it went away or broke since the start): back to the language in use
// before, or, when even that fails, nothing loaded at all.
enum class LanguageSwitchOutcome {
    Loaded,        // the chosen language is loaded and current
    KeptPrevious,  // the chosen one failed; the previous one is loaded and current again
    NoneLoaded,    // both failed: no language is loaded (the previous one is current)
};

LanguageSwitchOutcome switchLanguage(LanguageManager& languages, std::uint16_t previous,
                                     std::uint16_t chosen);
