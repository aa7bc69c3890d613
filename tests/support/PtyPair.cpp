#include "PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace test_support {

PtyPair::PtyPair() {
    char name[256] = {};
    int slave = -1;
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
        throw std::runtime_error(std::string("openpty failed: ") + std::strerror(errno));
    }
    slaveKeeper_ = slave;
    slavePath_ = name;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slaveKeeper_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    if (slaveKeeper_ >= 0)
        close(slaveKeeper_);
    if (master_ >= 0)
        close(master_);
}

void PtyPair::writeMaster(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd pfd{master_, POLLOUT, 0};
            poll(&pfd, 1, 100);
        } else {
            throw std::runtime_error("write to pty master failed");
        }
    }
}

std::string PtyPair::readMaster(std::size_t expected, std::chrono::milliseconds timeout) {
    std::string result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (result.size() < expected) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd pfd{master_, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0)
            result.append(buffer, static_cast<std::size_t>(n));
    }
    return result;
}

std::string PtyPair::readMasterUntil(const std::string& terminator,
                                     std::chrono::milliseconds timeout) {
    std::string result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (result.size() < terminator.size() ||
           result.compare(result.size() - terminator.size(), terminator.size(), terminator) != 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd pfd{master_, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char byte;
        if (::read(master_, &byte, 1) == 1)
            result.push_back(byte);
    }
    return result;
}

std::size_t PtyPair::slavePending() const {
    int pending = 0;
    if (slaveKeeper_ < 0 || ioctl(slaveKeeper_, FIONREAD, &pending) != 0)
        return 0;
    return static_cast<std::size_t>(pending);
}

void PtyPair::closeMaster() {
    if (slaveKeeper_ >= 0) {
        close(slaveKeeper_);
        slaveKeeper_ = -1;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

}  // namespace test_support
