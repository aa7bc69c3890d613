#include "cli/OutputFileCheck.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "charsets/TextCodec.h"
#include "cli/UserMessages.h"
#include "export/FileAccessException.h"
#include "export/OutputFile.h"

OutputFileCheck::Problem OutputFileCheck::problem(const std::string& path) {
    Problem problem;
    if (OutputFile::isTerminal(path)) {
        problem.terminal = true;
        return problem;
    }
    try {
        OutputFile trial(text_codec::fromUtf8(path));
        if (trial.direct()) {
            return problem;
        }
    } catch (const FileAccessException& failure) {
        problem.code = failure.code();
        problem.existingFile = failure.existingFile();
        return problem;
    }
    // A file system without a free block cannot take even the byte-order mark. (One that
    // reports no blocks at all, like many virtual ones, tells nothing.) Blocks kept for root
    // count for root.
    struct statvfs space {};
    const std::string folder = UserMessages::folderOf(path);
    if (::statvfs(folder.c_str(), &space) == 0 && space.f_blocks > 0 &&
        (::geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0) {
        problem.code = ENOSPC;
    }
    return problem;
}
