#include "devices/UeventMonitor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

#include "devices/UeventParser.h"

UeventMonitor::UeventMonitor(IDeviceChangeSink& sink, std::filesystem::path devRoot)
    : sink_(sink), devRoot_(std::move(devRoot)) {}

UeventMonitor::~UeventMonitor() {
    stop();
}

bool UeventMonitor::start() {
    if (thread_.joinable())
        return true;
    auto socket = std::make_unique<UeventSocket>();
    if (!socket->isOpen()) {
        error_ = socket->error();
        return false;
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        error_ = errno;
        return false;
    }
    socket_ = std::move(socket);
    wakeFd_ = wake;
    error_ = 0;
    try {
        thread_ = std::thread(&UeventMonitor::run, this);
    } catch (const std::system_error& failure) {
        error_ = failure.code().value();
        ::close(wakeFd_);
        wakeFd_ = -1;
        socket_.reset();
        return false;
    }
    return true;
}

void UeventMonitor::stop() {
    if (!thread_.joinable())
        return;
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(wakeFd_);
    wakeFd_ = -1;
    socket_.reset();
}

void UeventMonitor::run() {
    std::string bytes;
    for (;;) {
        std::array<pollfd, 2> watched{{{socket_->fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            error_ = errno;
            return;
        }
        if (watched[1].revents != 0)
            return;  // stop
        if (watched[0].revents == 0)
            continue;
        for (;;) {
            std::uint32_t sender = 0;
            bool truncated = false;
            const UeventSocket::Received received = socket_->receive(bytes, sender, truncated);
            if (received == UeventSocket::Received::Nothing)
                break;
            if (received == UeventSocket::Received::Failed) {
                error_ = socket_->error();
                return;  // the periodic enumeration carries on alone
            }
            if (received == UeventSocket::Received::Overrun) {
                sink_.onDeviceChange(DeviceNotice{});  // something changed, nobody knows what
                continue;
            }
            const std::optional<Uevent> event = parseUevent(bytes, sender, truncated);
            if (!event)
                continue;
            if (const std::optional<DeviceNotice> notice = noticeOf(*event, devRoot_))
                sink_.onDeviceChange(*notice);
        }
    }
}
