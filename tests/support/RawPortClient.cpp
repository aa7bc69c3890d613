#include "RawPortClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace test_support {

RawPortClient::RawPortClient(const std::string& path)
    : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_ < 0) {
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    }
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        close(fd_);
        throw std::runtime_error(path + " is not a terminal");
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd_, TCSANOW, &settings);
}

RawPortClient::~RawPortClient() {
    close(fd_);
}

void RawPortClient::send(const std::string& line) {
    sendRaw(line + "\r\n");
}

void RawPortClient::sendRaw(const std::string& bytes) {
    std::size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            written_ += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd pfd{fd_, POLLOUT, 0};
            poll(&pfd, 1, 50);
        } else {
            throw std::runtime_error(std::string("write to the port failed: ") +
                                     std::strerror(errno));
        }
    }
}

bool RawPortClient::readSome(std::string& into, std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd pfd{fd_, POLLIN, 0};
    const int ready = poll(&pfd, 1, static_cast<int>(std::max<long long>(0, left.count())));
    if (ready <= 0) {
        return true;
    }
    char buffer[1024];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<std::size_t>(n));
        read_ += static_cast<std::size_t>(n);
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    return false;  // end of file or EIO: the other side is gone
}

std::string RawPortClient::readAnswer(std::chrono::milliseconds timeout) {
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (answer.find("\r\nOK\r\n") == std::string::npos &&
           answer.find("\r\nERROR\r\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        if (!readSome(answer, deadline)) {
            break;
        }
    }
    return answer;
}

std::string RawPortClient::command(const std::string& line, std::chrono::milliseconds timeout) {
    send(line);
    return readAnswer(timeout);
}

std::string RawPortClient::readUntil(const std::string& ending, std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while ((text.size() < ending.size() ||
            text.compare(text.size() - ending.size(), ending.size(), ending) != 0) &&
           std::chrono::steady_clock::now() < deadline) {
        if (!readSome(text, deadline)) {
            break;
        }
    }
    return text;
}

std::string RawPortClient::readFor(std::chrono::milliseconds duration) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!readSome(text, deadline)) {
            break;
        }
    }
    return text;
}

bool RawPortClient::waitForHangup(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string ignored;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{fd_, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (poll(&pfd, 1, static_cast<int>(std::max<long long>(0, left.count()))) > 0 &&
            (pfd.revents & (POLLHUP | POLLERR)) != 0) {
            return true;
        }
        if (!readSome(ignored, deadline)) {
            return true;
        }
    }
    return false;
}

}  // namespace test_support
