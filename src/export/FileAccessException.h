#pragma once

#include <exception>

// The output file could not be created, opened or written (for any reason but a full disk).
class FileAccessException : public std::exception {
public:
    const char* what() const noexcept override { return "the output file cannot be written"; }
};
