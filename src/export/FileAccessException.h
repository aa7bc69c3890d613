#pragma once

#include <exception>

// The output file could not be created, opened or written (for any reason but a full disk).
// code() is the errno of the system call that failed (ENOENT for a missing folder, EACCES,
// EROFS, EISDIR, ENAMETOOLONG, ...), or 0 when no system call failed, so that people can be
// told the real cause. existingFile() is true when the failure concerns the file that is
// already at the path (it may not be written, for instance because it is read-only) rather
// than its folder or the file being written.
class FileAccessException : public std::exception {
public:
    explicit FileAccessException(int code = 0, bool existingFile = false) noexcept
        : code_(code), existingFile_(existingFile) {}

    int code() const noexcept { return code_; }
    bool existingFile() const noexcept { return existingFile_; }

    const char* what() const noexcept override { return "the output file cannot be written"; }

private:
    int code_;
    bool existingFile_;
};
