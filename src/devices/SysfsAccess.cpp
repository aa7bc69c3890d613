#include "devices/SysfsAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

namespace sysfs {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\0';
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::optional<std::string> readAttribute(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::array<char, kMaxAttributeSize> buffer{};
    std::size_t size = 0;
    bool failed = false;
    while (size < buffer.size()) {
        const std::size_t wanted = buffer.size() - size;
        const ssize_t n = ::read(fd, buffer.data() + size, wanted);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failed = true;
            break;
        }
        size += static_cast<std::size_t>(n);
        // sysfs hands out an attribute in one read; a short read is its end.
        if (static_cast<std::size_t>(n) < wanted)
            break;
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    std::size_t begin = 0;
    while (begin < size && isBlank(buffer[begin]))
        ++begin;
    while (size > begin && isBlank(buffer[size - 1]))
        --size;
    return std::string(buffer.data() + begin, size - begin);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Listing listFolder(const std::string& path) {
    Listing listing;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) {
        listing.error = errno;
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) {
                listing.error = errno;
                listing.names.clear();
            }
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            listing.names.emplace_back(name);
    }
    // The kernel hands entries out in no particular order.
    std::sort(listing.names.begin(), listing.names.end());
    return listing;
}

std::string_view parentOf(std::string_view relative) {
    const std::size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
}

std::string_view nameOf(std::string_view relative) {
    const std::size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? relative : relative.substr(slash + 1);
}

std::string joinRelative(std::string_view folder, std::string_view target) {
    if (target.empty() || target.front() == '/')
        return {};
    std::string result(folder);
    std::size_t position = 0;
    while (position <= target.size()) {
        std::size_t end = target.find('/', position);
        if (end == std::string_view::npos)
            end = target.size();
        const std::string_view part = target.substr(position, end - position);
        if (part == "..") {
            if (result.empty())
                return {};  // above the tree's root
            result.resize(parentOf(result).size());
        } else if (!part.empty() && part != ".") {
            if (!result.empty())
                result += '/';
            result += part;
        }
        position = end + 1;
    }
    return result;
}

std::string resolveLink(const std::string& root, std::string_view relative) {
    const std::string path = root + "/" + std::string(relative);
    std::array<char, 4096> target{};
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
        return {};
    return joinRelative(parentOf(relative),
                        std::string_view(target.data(), static_cast<std::size_t>(length)));
}

bool isSafeDeviceName(std::string_view name) {
    if (name.empty() || name.front() == '/')
        return false;
    std::size_t position = 0;
    while (position <= name.size()) {
        std::size_t end = name.find('/', position);
        if (end == std::string_view::npos)
            end = name.size();
        const std::string_view part = name.substr(position, end - position);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (const char c : part) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                return false;
        }
        position = end + 1;
    }
    return true;
}

}  // namespace sysfs
