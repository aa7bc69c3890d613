#pragma once

#include <exception>

// Writing the output file failed because the disk is full. The file stays open.
class DiskSpaceException : public std::exception {
public:
    const char* what() const noexcept override { return "no space left for the output file"; }
};
