#include "OpenWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

namespace test_support {

OpenWatch::OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0 || inotify_add_watch(fd_, path.c_str(), IN_OPEN) < 0) {
        if (fd_ >= 0)
            ::close(fd_);
        throw std::runtime_error("cannot watch " + path);
    }
}

OpenWatch::~OpenWatch() {
    ::close(fd_);
}

bool OpenWatch::opened() const {
    std::array<char, 4096> events{};
    return ::read(fd_, events.data(), events.size()) > 0;
}

}  // namespace test_support
