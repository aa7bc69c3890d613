#include "serial_comm/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "charsets/TextCodec.h"

namespace serial_comm {

namespace {

// Raw line: no echo, no translation of CR and LF, no signals, no flow control. The line
// speed is left as the device has it. The settings found are kept in found, to be put back
// when the port is closed.
bool makeRaw(int fd, termios& found) {
    if (tcgetattr(fd, &found) != 0)
        return false;
    termios settings = found;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // With VMIN 1 a read without data fails with EAGAIN; 0 bytes then only ever mean a hang-up.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Puts back the line settings the port had before it was opened (a terminal left raw would
// have neither echo nor line editing; a device that has gone refuses, which changes nothing),
// gives up the exclusive mode (a pseudo-terminal keeps it after its last close and would
// refuse the next open) and closes the descriptor, which also drops the flock.
void releasePort(int fd, const termios* found) {
    if (found != nullptr)
        tcsetattr(fd, TCSANOW, found);
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

int remainingMs(std::chrono::steady_clock::time_point deadline) {
    // Rounded up, so that a wait never ends before the deadline.
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(
        left.count(), 0, std::numeric_limits<int>::max()));
}

}  // namespace

// The port's descriptors, held for one operation. close() waits until no Use is left, so the
// descriptors stay valid (and are never another file's) while the operation runs.
class SerialPort::Use {
public:
    explicit Use(SerialPort& port) : port_(port) {
        std::lock_guard lock(port_.mutex_);
        if (port_.fd_ < 0 || port_.closing_)
            throw SerialPortException(0);
        fd = port_.fd_;
        wakeFd = port_.wakeFd_;
        ++port_.users_;
    }
    ~Use() {
        std::lock_guard lock(port_.mutex_);
        if (--port_.users_ == 0)
            port_.idle_.notify_all();
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    int fd = -1;
    int wakeFd = -1;

private:
    SerialPort& port_;
};

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(const std::u16string& path, std::uint32_t /*inQueue*/,
                      std::uint32_t /*outQueue*/) {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        return false;

    const std::string bytes = text_codec::toUtf8(path);
    if (bytes.empty() || bytes.find('\0') != std::string::npos) {
        lastOpenError_ = ENOENT;
        return false;
    }
    int fd;
    do {
        fd = ::open(bytes.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        lastOpenError_ = errno;
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        lastOpenError_ = ENOTTY;
        return false;
    }
    // flock holds against every other program, root included; TIOCEXCL on top makes the
    // kernel refuse further opens of the terminal.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lastOpenError_ = errno;
        ::close(fd);
        return false;
    }
    termios found{};
    if (ioctl(fd, TIOCEXCL) != 0) {
        lastOpenError_ = errno;
        releasePort(fd, nullptr);
        return false;
    }
    if (!makeRaw(fd, found)) {
        lastOpenError_ = errno;
        releasePort(fd, nullptr);
        return false;
    }
    tcflush(fd, TCIOFLUSH);  // bytes left from before are not part of any answer

    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        lastOpenError_ = errno;
        releasePort(fd, &found);
        return false;
    }
    fd_ = fd;
    foundSettings_ = found;
    wakeFd_ = wakeFd;
    lastOpenError_ = 0;
    return true;
}

bool SerialPort::close() {
    std::unique_lock lock(mutex_);
    if (closing_) {
        // Another thread is closing the port: return once it is done, so that the caller may
        // open the port again right away.
        idle_.wait(lock, [this] { return !closing_; });
        return false;
    }
    if (fd_ < 0)
        return false;
    closing_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    idle_.wait(lock, [this] { return users_ == 0; });
    releasePort(fd_, &foundSettings_);
    ::close(wakeFd_);
    fd_ = -1;
    wakeFd_ = -1;
    closing_ = false;
    idle_.notify_all();
    return true;
}

std::uint32_t SerialPort::writeString(const char* text, std::uint32_t* written,
                                      std::uint32_t timeoutMs) {
    const std::size_t length = text == nullptr ? 0 : std::strlen(text);
    return write(text, static_cast<std::uint32_t>(length), written, timeoutMs);
}

std::uint32_t SerialPort::write(const void* data, std::uint32_t size, std::uint32_t* written,
                                std::uint32_t timeoutMs) {
    std::uint32_t local = 0;
    std::uint32_t& count = written != nullptr ? *written : local;
    count = 0;
    Use use(*this);

    const bool limited = timeoutMs != kInfinite;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    const auto* bytes = static_cast<const char*>(data);
    while (count < size) {
        const ssize_t n = ::write(use.fd, bytes + count, size - count);
        if (n > 0) {
            count += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw SerialPortException(errno);
        // The port's output queue is full: wait until it takes more.
        if (!waitFor(use.fd, use.wakeFd, POLLOUT, limited ? remainingMs(deadline) : -1))
            throw SerialPortException(ETIMEDOUT);
    }
    return count;
}

std::uint32_t SerialPort::read(void* buffer, std::uint32_t size, std::uint32_t* received,
                               std::uint32_t /*timeoutMs*/) {
    std::uint32_t local = 0;
    std::uint32_t& count = received != nullptr ? *received : local;
    count = 0;
    Use use(*this);
    if (size == 0)
        return 0;
    for (;;) {
        const ssize_t n = ::read(use.fd, buffer, size);
        if (n > 0) {
            count = static_cast<std::uint32_t>(n);
            return count;
        }
        // End of file on a terminal opened without blocking is a hang-up, never "no data".
        if (n == 0)
            throw SerialPortException(EIO);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        throw SerialPortException(errno);
    }
}

bool SerialPort::waitReadable(std::chrono::milliseconds timeout) {
    Use use(*this);
    const int ms = timeout.count() < 0 ? -1
                                       : static_cast<int>(std::min<std::chrono::milliseconds::rep>(
                                             timeout.count(), std::numeric_limits<int>::max()));
    return waitFor(use.fd, use.wakeFd, POLLIN, ms);
}

bool SerialPort::waitFor(int fd, int wakeFd, short events, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        const int wait = timeoutMs < 0 ? -1 : remainingMs(deadline);
        const int ready = poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            throw SerialPortException(errno);
        }
        if (fds[1].revents != 0)
            throw SerialPortException(0);  // close() was called
        if ((fds[0].revents & (POLLHUP | POLLERR)) != 0)
            throw SerialPortException(EIO);
        if ((fds[0].revents & POLLNVAL) != 0)
            throw SerialPortException(EBADF);
        if ((fds[0].revents & events) != 0)
            return true;
        if (ready == 0 && timeoutMs >= 0 && remainingMs(deadline) == 0)
            return false;
    }
}

bool SerialPort::isOpen() const {
    std::lock_guard lock(mutex_);
    return fd_ >= 0 && !closing_;
}

int SerialPort::lastOpenError() const {
    std::lock_guard lock(mutex_);
    return lastOpenError_;
}

}  // namespace serial_comm
