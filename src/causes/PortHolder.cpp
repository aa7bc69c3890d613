#include "causes/PortHolder.h"

#include "causes/CauseTable.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace causes {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

bool isNumber(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name) {
        if (std::isdigit(static_cast<unsigned char>(*name)) == 0)
            return false;
    }
    return true;
}

// The same device (a terminal reached through any of its nodes or links) or the same file.
bool sameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode))
        return a.st_rdev == b.st_rdev;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool holds(const std::string& process, const struct stat& target) {
    const std::string fds = process + "/fd";
    const Dir dir(opendir(fds.c_str()));
    if (!dir)
        return false;  // another user's process, or one that has just ended
    while (const dirent* entry = readdir(dir.get())) {
        if (!isNumber(entry->d_name))
            continue;
        struct stat open {};
        if (stat((fds + "/" + entry->d_name).c_str(), &open) == 0 && sameFile(open, target))
            return true;
    }
    return false;
}

std::string commandName(const std::string& process) {
    std::ifstream comm(process + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

std::optional<PortHolder> findPortHolder(const std::string& path,
                                         const std::filesystem::path& procRoot) {
    struct stat target {};
    if (path.empty() || stat(path.c_str(), &target) != 0)
        return std::nullopt;
    const Dir dir(opendir(procRoot.c_str()));
    if (!dir)
        return std::nullopt;
    const pid_t self = getpid();
    while (const dirent* entry = readdir(dir.get())) {
        if (!isNumber(entry->d_name))
            continue;
        const pid_t pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
        if (pid == self)
            continue;
        const std::string process = (procRoot / entry->d_name).string();
        if (holds(process, target)) {
            std::string name = commandName(process);
            return PortHolder{name.empty() ? "process " + std::to_string(pid) : std::move(name),
                              pid};
        }
    }
    return std::nullopt;
}

PhoneCause openCause(const std::string& path, int openError) {
    const Cause cause = causeOfOpenError(openError);
    if (cause == Cause::Busy) {
        if (const std::optional<PortHolder> holder = findPortHolder(path))
            return {Cause::BusyNamed, openError, holder->program, holder->pid};
    }
    return {cause, openError};
}

}  // namespace causes
