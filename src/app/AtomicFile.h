#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// Reading a small file whole, and replacing a file's content so that a crash, a kill or a full
// disk at any moment leaves either the old content or the new one, never a mixture.
namespace atomic_file {

struct ReadResult {
    enum class Status {
        Read,     // bytes holds the whole file
        Missing,  // there is no such file
        Failed,   // it exists but cannot be read: no permission, not a regular file, too large
    };
    Status status = Status::Missing;
    std::string bytes;
};

// Files larger than this are not read (Failed).
inline constexpr std::size_t kMaximumSize = 16 * 1024 * 1024;

ReadResult read(const std::filesystem::path& path);

// Writes the bytes into a new file beside the target (same folder, name + ".tmp-" + random
// letters), flushes it to the disk, gives it the old file's permissions, renames it over the
// target and flushes the folder. A target that is a symbolic link has its link target
// replaced, so the link stays. On any failure the new file is removed, the target is left as
// it was, and false is returned.
bool replace(const std::filesystem::path& path, std::string_view bytes);

// The prefix of the names of the new files replace() makes for a target; a process killed
// between creating and renaming one leaves it behind.
std::string temporaryPrefix(const std::filesystem::path& path);

}  // namespace atomic_file
