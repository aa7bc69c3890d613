#pragma once

#include <string>

// Finds out, before and after a failed write, why an output file cannot be written, so that
// people are told the cause instead of a bare failure.
class OutputFileCheck {
public:
    // 0 when the file looks writable: its folder exists, is a folder and may be written, and
    // the file is either absent or a writable file. Otherwise the errno that says why: ENOENT
    // (the folder does not exist), ENOTDIR (a part of the folder is not a folder), EACCES,
    // EROFS, ENOSPC (its file system is full), EISDIR (the path is a folder), or what the
    // system reported.
    static int problem(const std::string& path);

    // The folder the file is written into ("." for a bare file name).
    static std::string folderOf(const std::string& path);
};
