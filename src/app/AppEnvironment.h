#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "app/LocaleSettings.h"

// What the program takes from the system it runs on: where its languages and help pages are,
// where the user's configuration folder is, and the user's locale settings. fromProcess()
// finds them for this process; tests fill in their own folders.
struct AppEnvironment {
    // Searched in order by the language scan.
    std::vector<std::filesystem::path> languageFolders;
    // The folder holding one folder of help pages per help language.
    std::filesystem::path helpFolder = "help";
    // The base of the settings folder; nothing when unknown (the settings file is then the
    // relative "settings.ini").
    std::optional<std::filesystem::path> configHome;
    LocaleSettings locale;

    // Languages in "lng" beside the program (a build tree), then in the data folder of an
    // installation found from the program's folder ("<program folder>/../share/contaxio"),
    // then in the data folder the program was configured for. The help folder is "help" beside
    // the program when it exists, else the first of the data folders that holds "help", else
    // "help" beside the program. The configuration folder and the locale settings of the user.
    static AppEnvironment fromProcess();

    // The folder of the running program (from /proc/self/exe); nothing when it cannot be read.
    static std::optional<std::filesystem::path> programFolder();

    // The data folders in search order for a program folder (which may be unknown).
    static std::vector<std::filesystem::path> dataFolders(
        const std::optional<std::filesystem::path>& programFolder);
};
