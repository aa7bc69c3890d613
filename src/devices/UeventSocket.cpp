#include "devices/UeventSocket.h"

#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "devices/UeventParser.h"

namespace {

// The kernel's own group on NETLINK_KOBJECT_UEVENT (the udev daemon rebroadcasts on group 2).
constexpr std::uint32_t kKernelGroup = 1;

}  // namespace

UeventSocket::UeventSocket() {
    fd_ = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_pid = 0;  // the kernel picks our port id
    address.nl_groups = kKernelGroup;
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error_ = errno;
        ::close(fd_);
        fd_ = -1;
    }
}

UeventSocket::~UeventSocket() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::uint32_t UeventSocket::portId() const {
    sockaddr_nl address{};
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return 0;
    return address.nl_pid;
}

UeventSocket::Received UeventSocket::receive(std::string& bytes, std::uint32_t& senderPortId,
                                             bool& truncated) {
    // One byte more than the longest message taken, so that a longer one shows as truncated.
    std::array<char, kMaxUeventSize + 1> buffer{};
    iovec part{buffer.data(), buffer.size()};
    sockaddr_nl sender{};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    for (;;) {
        const ssize_t size = ::recvmsg(fd_, &message, MSG_DONTWAIT);
        if (size >= 0) {
            const auto length = static_cast<std::size_t>(size);
            bytes.assign(buffer.data(), length);
            senderPortId = sender.nl_pid;
            truncated = (message.msg_flags & MSG_TRUNC) != 0 || length > kMaxUeventSize;
            return Received::Datagram;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Received::Nothing;
        if (errno == ENOBUFS)
            return Received::Overrun;
        error_ = errno;
        return Received::Failed;
    }
}
