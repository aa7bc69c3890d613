#pragma once

#include <cerrno>
#include <exception>

// Writing the output file failed because the disk is full (ENOSPC) or the user's quota is
// exhausted (EDQUOT); code() tells which. The file stays open.
class DiskSpaceException : public std::exception {
public:
    explicit DiskSpaceException(int code = ENOSPC) noexcept : code_(code) {}

    int code() const noexcept { return code_; }

    const char* what() const noexcept override { return "no space left for the output file"; }

private:
    int code_;
};
