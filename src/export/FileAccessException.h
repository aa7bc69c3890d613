#pragma once

#include <exception>

// The output file could not be created, opened or written (for any reason but a full disk).
// code() is the errno of the system call that failed (ENOENT for a missing folder, EACCES,
// EROFS, EISDIR, ENAMETOOLONG, ...), or 0 when no system call failed, so that people can be
// told the real cause.
class FileAccessException : public std::exception {
public:
    explicit FileAccessException(int code = 0) noexcept : code_(code) {}

    int code() const noexcept { return code_; }

    const char* what() const noexcept override { return "the output file cannot be written"; }

private:
    int code_;
};
