#pragma once

#include <cstdint>
#include <string>

// The kernel's device events as they arrive: a non-blocking netlink socket
// (NETLINK_KOBJECT_UEVENT) bound to the kernel's broadcast group. Needs no udev daemon and no
// privileges.
class UeventSocket {
public:
    // Opens and binds the socket; isOpen() tells whether that worked, error() why not.
    UeventSocket();
    ~UeventSocket();
    UeventSocket(const UeventSocket&) = delete;
    UeventSocket& operator=(const UeventSocket&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int error() const { return error_; }
    int fd() const { return fd_; }

    // The port id the kernel gave the socket (what other sockets would send to); 0 when closed.
    std::uint32_t portId() const;

    enum class Received {
        Datagram,  // bytes, senderPortId and truncated are filled in
        Nothing,   // nothing waits
        Overrun,   // the kernel dropped events because they were not read in time
        Failed,    // error() tells why
    };

    // Takes one waiting datagram without blocking. A datagram longer than the buffer is cut
    // and marked truncated.
    Received receive(std::string& bytes, std::uint32_t& senderPortId, bool& truncated);

private:
    int fd_ = -1;
    int error_ = 0;
};
