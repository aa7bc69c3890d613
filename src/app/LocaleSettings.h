#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where the system says which language the user reads: the variables LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG of the environment, then the system's default locale in
// /etc/default/locale. Tests fill the fields themselves.
struct LocaleSettings {
    std::optional<std::string> language;    // LANGUAGE: a list of locale names split by ":"
    std::optional<std::string> lcAll;       // LC_ALL
    std::optional<std::string> lcMessages;  // LC_MESSAGES
    std::optional<std::string> lang;        // LANG
    std::filesystem::path systemDefaultFile = "/etc/default/locale";

    // The four variables of this process's environment.
    static LocaleSettings fromEnvironment();

    // The language ids to try, in order: each locale name of LANGUAGE, then LC_ALL,
    // LC_MESSAGES and LANG, then the same variables as the system default file sets them.
    // Unset and empty variables, "C", "POSIX" and names without a known id are left out.
    std::vector<std::uint16_t> candidates() const;
};
