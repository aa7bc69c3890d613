#include "app/SettingsLocation.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "app/AtomicFile.h"

namespace settings_location {
namespace {

std::optional<std::filesystem::path> homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home);
    }
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return std::filesystem::path(found->pw_dir);
    }
    return std::nullopt;
}

// Makes a folder with its missing parents; true when it is a folder afterwards.
bool makeFolder(const std::filesystem::path& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (errno != ENOENT) {
        return false;
    }
    const std::filesystem::path parent = folder.parent_path();
    if (parent.empty() || parent == folder || !makeFolder(parent)) {
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::optional<std::filesystem::path> configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are invalid and to be ignored.
    if (xdg != nullptr && xdg[0] == '/') {
        return std::filesystem::path(xdg);
    }
    const std::optional<std::filesystem::path> home = homeFolder();
    if (!home) {
        return std::nullopt;
    }
    return *home / ".config";
}

std::filesystem::path settingsFolder(const std::filesystem::path& configHome) {
    return configHome / kMakerFolder / kProgramFolder;
}

std::filesystem::path prepare(const std::optional<std::filesystem::path>& configHome) {
    if (!configHome || configHome->empty()) {
        return kFileName;
    }
    const std::filesystem::path folder = settingsFolder(*configHome);
    if (!makeFolder(folder)) {
        return kFileName;
    }
    return folder / kFileName;
}

void uninstall(const std::filesystem::path& settingsFile,
               const std::optional<std::filesystem::path>& configHome) {
    std::error_code ignored;
    std::filesystem::remove(settingsFile, ignored);

    // What a process killed in the middle of a write left beside the file.
    const std::string prefix = atomic_file::temporaryPrefix(settingsFile);
    std::filesystem::path folder = settingsFile.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::error_code listing;
    for (std::filesystem::directory_iterator it(folder, listing), end; !listing && it != end;
         it.increment(listing)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0 && it->is_regular_file(ignored)) {
            std::filesystem::remove(it->path(), ignored);
        }
    }

    if (!configHome || configHome->empty()) {
        return;
    }
    // The settings folder, then its parent: one component of the relative part at a time.
    ::rmdir(settingsFolder(*configHome).c_str());
    ::rmdir((*configHome / kMakerFolder).c_str());
}

}  // namespace settings_location
