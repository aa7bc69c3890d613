#pragma once

#include <filesystem>

namespace fuzz_support {

// A folder of this process's own in /dev/shm (else the system's temporary folder), made on first
// use and removed with its files when the process ends normally. For files a target writes per
// input.
class ScratchFolder {
public:
    static const ScratchFolder& instance();

    const std::filesystem::path& path() const { return path_; }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    ScratchFolder();
    ~ScratchFolder();

    std::filesystem::path path_;
};

}  // namespace fuzz_support
