#include "cli/OutputFileCheck.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

std::string OutputFileCheck::folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

int OutputFileCheck::problem(const std::string& path) {
    const std::string folder = folderOf(path);
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        return errno;
    }
    if (!S_ISDIR(status.st_mode)) {
        return ENOTDIR;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return errno;
    }
    // A file system without a free block cannot take even the byte-order mark. (One that
    // reports no blocks at all, like many virtual ones, tells nothing.) Blocks kept for root
    // count for root.
    struct statvfs space {};
    if (::statvfs(folder.c_str(), &space) == 0 && space.f_blocks > 0 &&
        (::geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0) {
        return ENOSPC;
    }
    if (::stat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (S_ISDIR(status.st_mode)) {
        return EISDIR;
    }
    if (::access(path.c_str(), W_OK) != 0) {
        return errno;
    }
    return 0;
}
