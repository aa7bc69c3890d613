#pragma once

#include <filesystem>
#include <map>
#include <string>

// The user's names for phones, keyed by the phone's IMEI exactly as the phone reported it, kept
// in section "Aliases" of the settings file. Used on the user-interface thread only.
class AliasStore {
public:
    AliasStore() = default;

    // Set when the settings are loaded.
    void setSettingsFile(std::filesystem::path file);
    const std::filesystem::path& settingsFile() const { return settingsFile_; }

    // The alias of a phone, or the IMEI itself when it has none. An alias found in the file is
    // remembered for the rest of the run, unless it equals the IMEI; the remembered aliases
    // tell letter case apart, the file does not.
    std::u16string aliasFor(const std::u16string& imei);

    // Remembers the alias and writes it to the file at once, so that it survives a crash or a
    // cancelled wizard. Nothing happens for an empty IMEI. An empty alias is stored as the empty
    // text. A failed write is not reported.
    void setAlias(const std::u16string& imei, const std::u16string& alias);

private:
    std::map<std::u16string, std::u16string> cache_;
    std::filesystem::path settingsFile_;
};
