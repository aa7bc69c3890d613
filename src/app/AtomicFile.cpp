#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

namespace atomic_file {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a delayed write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Letters that make the new file's name unlikely to be taken; O_EXCL settles the rest.
std::string randomLetters(int attempt) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 generator(ticks ^ (static_cast<std::uint64_t>(::getpid()) << 32) ^
                              static_cast<std::uint64_t>(attempt));
    std::string letters;
    for (int i = 0; i < 8; ++i) {
        letters.push_back(kLetters[generator() % (sizeof kLetters - 1)]);
    }
    return letters;
}

// The file that is actually replaced: the target of a symbolic link, else the path itself.
std::filesystem::path destination(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return path;
}

void syncFolder(const std::filesystem::path& file) {
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Some file systems refuse to sync a folder; the rename has happened either way.
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

ReadResult read(const std::filesystem::path& path) {
    ReadResult result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.status = errno == ENOENT ? ReadResult::Status::Missing : ReadResult::Status::Failed;
        return result;
    }
    FileDescriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > kMaximumSize) {
        result.status = ReadResult::Status::Failed;
        return result;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = ReadResult::Status::Failed;
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(got));
        if (result.bytes.size() > kMaximumSize) {
            result.status = ReadResult::Status::Failed;
            result.bytes.clear();
            return result;
        }
    }
    result.status = ReadResult::Status::Read;
    return result;
}

std::string temporaryPrefix(const std::filesystem::path& path) {
    return path.filename().string() + ".tmp-";
}

bool replace(const std::filesystem::path& path, std::string_view bytes) {
    if (path.filename().empty()) {
        return false;
    }
    const std::filesystem::path target = destination(path);
    const std::filesystem::path folder = target.parent_path();

    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder / (temporaryPrefix(target) + randomLetters(attempt));
        // The umask applies to a file created 0666, as to any file the user's programs make.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    FileDescriptor file(fd);

    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) {
        // A user who made the file private keeps it private.
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = file.close() && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(target);
    return true;
}

}  // namespace atomic_file
