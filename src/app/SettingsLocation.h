#pragma once

#include <filesystem>
#include <optional>

// Where the settings file lives: the user's configuration folder + "Korvanta/Contaxio" +
// "settings.ini", or the bare name "settings.ini" (the current folder) when that folder cannot
// be had.
namespace settings_location {

inline constexpr const char* kMakerFolder = "Korvanta";
inline constexpr const char* kProgramFolder = "Contaxio";
inline constexpr const char* kFileName = "settings.ini";

// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config (the home folder from the
// password database when HOME is unset); nothing when neither is known.
std::optional<std::filesystem::path> configHome();

// The settings folder under a configuration folder.
std::filesystem::path settingsFolder(const std::filesystem::path& configHome);

// Makes the settings folder with its missing parents (new folders are private to the user) and
// returns the settings file in it; the relative "settings.ini" when there is no configuration
// folder or the settings folder cannot be made.
std::filesystem::path prepare(const std::optional<std::filesystem::path>& configHome);

// The clean-up of "-uninstall": deletes the settings file (and new files of an interrupted
// write beside it), then removes the settings folder and the maker's folder when they are
// empty. Nothing above the maker's folder is touched; nothing is reported.
void uninstall(const std::filesystem::path& settingsFile,
               const std::optional<std::filesystem::path>& configHome);

}  // namespace settings_location
