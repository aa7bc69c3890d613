#include "export/OutputFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <string_view>

#include "charsets/TextCodec.h"
#include "export/FileAccessException.h"

namespace {

// Every working file's name ends so, and begins with a dot: ".<name>.<random>.contaxio-tmp".
constexpr std::string_view kWorkingSuffix = ".contaxio-tmp";
constexpr std::size_t kRandomLength = 6;
// How often a working file name is drawn before giving up (names taken, or a file that a
// cleaner in another process was removing at that moment).
constexpr int kCreateAttempts = 16;

// Major numbers of terminals that sysfs does not list: the console terminals and serial
// ports (4), /dev/tty, /dev/console and /dev/ptmx (5), the old pseudo-terminals (2, 3) and
// the slaves of the current ones (136 to 143).
bool terminalMajor(unsigned int major) {
    return major == 2 || major == 3 || major == 4 || major == 5 || (major >= 136 && major <= 143);
}

std::string randomName() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[kRandomLength] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        std::random_device device;
        for (unsigned char& byte : bytes)
            byte = static_cast<unsigned char>(device());
    }
    std::string name;
    for (const unsigned char byte : bytes)
        name += kLetters[byte % kLetters.size()];
    return name;
}

// name cut to at most length bytes, never inside a UTF-8 sequence.
std::string cutName(const std::string& name, std::size_t length) {
    if (name.size() <= length)
        return name;
    std::size_t end = length;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

bool isWorkingFileName(std::string_view name) {
    return name.size() > 1 + kRandomLength + kWorkingSuffix.size() && name.front() == '.' &&
           name.ends_with(kWorkingSuffix);
}

// Removes the working files in folder that no living OutputFile holds: those left by a
// process that was killed or crashed. Only the user's own regular files with a working file's
// name are looked at; whatever fails is left alone.
void removeAbandonedWorkingFiles(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    const int folderFd = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        if (!isWorkingFileName(entry->d_name))
            continue;
        const int fd = ::openat(folderFd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        // The lock is free only when its owner has gone; the name must still lead to the
        // file that was locked.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(listing);
}

}  // namespace

std::optional<int> OutputFile::descriptorNamed(const std::string& path) {
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!path.starts_with(prefix))
            continue;
        const std::string_view digits = std::string_view(path).substr(prefix.size());
        if (digits.empty() || digits.size() > 9)
            return std::nullopt;
        int number = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            number = number * 10 + (c - '0');
        }
        return number;
    }
    return std::nullopt;
}

bool OutputFile::isTerminal(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISCHR(status.st_mode))
        return false;
    const unsigned int major = ::major(status.st_rdev);
    const unsigned int minor = ::minor(status.st_rdev);
    if (terminalMajor(major))
        return true;
    // Every other terminal (USB modems, USB serial converters, ...) is in sysfs's tty class.
    const std::string link =
        "/sys/dev/char/" + std::to_string(major) + ":" + std::to_string(minor) + "/subsystem";
    char target[PATH_MAX] = {};
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 &&
           std::string_view(target, static_cast<std::size_t>(length)).ends_with("/tty");
}

OutputFile::OutputFile(const std::u16string& target) : target_(target) {
    const std::string path = text_codec::toUtf8(target);
    if (path.empty())
        throw FileAccessException(ENOENT);
    if (path.find('\0') != std::string::npos)
        throw FileAccessException(EINVAL);

    if (const auto descriptor = descriptorNamed(path)) {
        if (::fcntl(*descriptor, F_GETFD) < 0)
            throw FileAccessException(errno);
        if (::isatty(*descriptor) == 1)
            throw FileAccessException(EINVAL);
        direct_ = true;
        writePath_ = target_;
        return;
    }
    if (isTerminal(path))
        throw FileAccessException(EINVAL);
    if (path.back() == '/') {
        struct stat status {};
        throw FileAccessException(
            ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode) ? ENOTDIR : EISDIR);
    }

    // A symbolic link is followed, so that the file it leads to gets the contacts; a link
    // that leads nowhere is replaced itself.
    std::string resolved = path;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            resolved = real;
            std::free(real);
        } else if (errno != ENOENT) {
            throw FileAccessException(errno);
        }
    }
    if (::stat(resolved.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw FileAccessException(EISDIR);
        if (!S_ISREG(status.st_mode)) {
            direct_ = true;
            writePath_ = target_;
            return;
        }
        // The file there is replaced only if it may be written: a read-only file says so.
        const int probe = ::open(resolved.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0)
            throw FileAccessException(errno, true);
        ::close(probe);
        replacing_ = true;
        targetMode_ = status.st_mode & 0777;
        targetOwner_ = status.st_uid;
        targetGroup_ = status.st_gid;
    } else if (errno != ENOENT) {
        throw FileAccessException(errno);
    }

    const std::size_t slash = resolved.rfind('/');
    std::string name = resolved;
    folder_ = ".";
    if (slash != std::string::npos) {
        folder_ = slash == 0 ? "/" : resolved.substr(0, slash);
        name = resolved.substr(slash + 1);
    }
    // The working file's name is cut to fit; the target's own name must fit as it is.
    long nameMax = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    if (!replacing_ && nameMax > 0 && name.size() > static_cast<std::size_t>(nameMax))
        throw FileAccessException(ENAMETOOLONG);
    if (nameMax <= 0)
        nameMax = NAME_MAX;

    removeAbandonedWorkingFiles(folder_);
    const std::size_t room =
        static_cast<std::size_t>(nameMax) - 2 - kRandomLength - kWorkingSuffix.size();
    int error = 0;
    if (!createWorkingFile(cutName(name, room), error))
        throw FileAccessException(error);
    targetPath_ = resolved;
    writePath_ = text_codec::fromUtf8(workingPath_);
}

OutputFile::~OutputFile() {
    discard();
    if (anchor_ >= 0)
        ::close(anchor_);
}

bool OutputFile::createWorkingFile(const std::string& name, int& error) {
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        workingName_ = "." + name + "." + randomName() + std::string(kWorkingSuffix);
        workingPath_ = (folder_ == "/" ? "" : folder_) + "/" + workingName_;
        int fd;
        do {
            fd = ::open(workingPath_.c_str(),
                        O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = errno;
            return false;
        }
        // Locked before anything is written; if another process's clean-up got there first
        // (it removes only what it could lock), the name is drawn again.
        struct stat status {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &status) != 0 ||
            status.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        anchor_ = fd;
        working_ = {status.st_dev, status.st_ino};
        if (workingFileIsOurs())
            return true;
        ::close(fd);
        anchor_ = -1;
    }
    error = EEXIST;
    return false;
}

bool OutputFile::workingFileIsOurs() const {
    struct stat status {};
    return ::lstat(workingPath_.c_str(), &status) == 0 &&
           Identity{status.st_dev, status.st_ino} == working_;
}

void OutputFile::commit() {
    if (committed_ || direct_) {
        committed_ = true;
        return;
    }
    if (discarded_)
        throw FileAccessException(ENOENT);
    if (::fsync(anchor_) != 0)
        throw FileAccessException(errno);
    if (replacing_) {
        // What the replaced file allowed, the new one allows; its owner stays where the
        // system lets us keep it (root can, a user only for the group).
        ::fchmod(anchor_, targetMode_);
        if (targetOwner_ != ::geteuid() || targetGroup_ != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(
                anchor_, targetOwner_ == ::geteuid() ? static_cast<uid_t>(-1) : targetOwner_,
                targetGroup_);
        }
    }
    if (!workingFileIsOurs())
        throw FileAccessException(ENOENT);
    if (::rename(workingPath_.c_str(), targetPath_.c_str()) != 0)
        throw FileAccessException(errno);
    committed_ = true;
    // The new name is made durable too; a failure here changes nothing that can be undone.
    const int folderFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void OutputFile::discard() {
    if (direct_ || committed_ || discarded_ || anchor_ < 0)
        return;
    if (workingFileIsOurs())
        ::unlink(workingPath_.c_str());
    discarded_ = true;
}
