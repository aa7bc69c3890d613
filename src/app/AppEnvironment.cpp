#include "app/AppEnvironment.h"

#include <algorithm>
#include <system_error>

#include "app/SettingsLocation.h"

#ifndef CONTAXIO_INSTALLED_DATA_DIR
#define CONTAXIO_INSTALLED_DATA_DIR "/usr/local/share/contaxio"
#endif

namespace {

bool isFolder(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

void addOnce(std::vector<std::filesystem::path>& paths, const std::filesystem::path& path) {
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
        paths.push_back(path);
    }
}

}  // namespace

std::optional<std::filesystem::path> AppEnvironment::programFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) {
        return std::nullopt;
    }
    return program.parent_path();
}

std::vector<std::filesystem::path> AppEnvironment::dataFolders(
    const std::optional<std::filesystem::path>& programFolder) {
    std::vector<std::filesystem::path> folders;
    if (programFolder) {
        addOnce(folders, *programFolder);
        addOnce(folders, (*programFolder / ".." / "share" / "contaxio").lexically_normal());
    }
    addOnce(folders, std::filesystem::path(CONTAXIO_INSTALLED_DATA_DIR).lexically_normal());
    return folders;
}

AppEnvironment AppEnvironment::fromProcess() {
    AppEnvironment environment;
    const std::optional<std::filesystem::path> program = programFolder();
    const std::vector<std::filesystem::path> folders = dataFolders(program);
    for (const std::filesystem::path& folder : folders) {
        environment.languageFolders.push_back(folder / "lng");
    }
    environment.helpFolder = program ? *program / "help" : std::filesystem::path("help");
    for (const std::filesystem::path& folder : folders) {
        if (isFolder(folder / "help")) {
            environment.helpFolder = folder / "help";
            break;
        }
    }
    environment.configHome = settings_location::configHome();
    environment.locale = LocaleSettings::fromEnvironment();
    return environment;
}
