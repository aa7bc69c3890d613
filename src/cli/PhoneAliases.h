#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/AliasStore.h"

// The user's names for phones, read from the settings file the wizard keeps them in. Reads
// only: contaxio-cli never writes the settings, nor makes their folder.
class PhoneAliases {
public:
    // The aliases of the settings file in the user's configuration folder (see
    // settings_location); without one, the relative "settings.ini", as the wizard uses then.
    static PhoneAliases fromSettings();

    explicit PhoneAliases(std::filesystem::path settingsFile);

    // The settings file of a configuration folder (nothing: unknown), without making anything.
    static std::filesystem::path settingsFileIn(
        const std::optional<std::filesystem::path>& configHome);

    // The alias of the phone with this IMEI, or the IMEI when it has none (empty for an empty
    // IMEI: a phone that did not tell it has no alias either). A settings file that is missing
    // or cannot be read gives no aliases.
    std::string aliasFor(const std::string& imei);

private:
    AliasStore store_;
};
