#include <gtest/gtest.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "devices/UeventMonitor.h"
#include "devices/UeventParser.h"
#include "devices/UeventSocket.h"

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

class NoticeCollector : public IDeviceChangeSink {
public:
    void onDeviceChange(const DeviceNotice& notice) override {
        {
            std::lock_guard lock(mutex_);
            notices_.push_back(notice);
        }
        changed_.notify_all();
    }

    // Waits at most timeout for a notice that matches; returns the notices up to it.
    bool waitFor(const std::function<bool(const DeviceNotice&)>& matches,
                 std::chrono::milliseconds timeout, std::vector<DeviceNotice>& before) {
        std::unique_lock lock(mutex_);
        const bool found = changed_.wait_for(lock, timeout, [&] {
            for (const DeviceNotice& notice : notices_) {
                if (matches(notice))
                    return true;
            }
            return false;
        });
        before = notices_;
        return found;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<DeviceNotice> notices_;
};

// Sends a datagram from a netlink socket of this process to port: what another program could
// do. False when the system does not let us (sending to other sockets needs privileges).
bool sendFromAProgram(std::uint32_t port, const std::string& bytes) {
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return false;
    sockaddr_nl to{};
    to.nl_family = AF_NETLINK;
    to.nl_pid = port;
    const bool sent =
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return sent;
}

// Asks the kernel to announce a device again (a "change" event); needs write access to sysfs.
bool askKernelToAnnounce(const std::string& devpath) {
    std::ofstream uevent("/sys" + devpath + "/uevent");
    uevent << "change";
    uevent.flush();
    return static_cast<bool>(uevent);
}

const std::string kConsole = "/devices/virtual/tty/tty63";

const std::string kForgedRemoval = "remove@"s + kConsole + '\0' + "ACTION=remove" + '\0' +
                                   "DEVPATH=" + kConsole + '\0' + "SUBSYSTEM=tty" + '\0' +
                                   "DEVNAME=tty63" + '\0';

TEST(UeventMonitorTest, StartsAndStopsAtOnce) {
    NoticeCollector sink;
    UeventMonitor monitor(sink, "/dev");
    if (!monitor.start())
        GTEST_SKIP() << "no uevent socket here (errno " << monitor.error() << ")";
    EXPECT_TRUE(monitor.isRunning());
    EXPECT_NE(monitor.portId(), 0u);
    monitor.stop();  // no event needed to end it
    EXPECT_FALSE(monitor.isRunning());
    EXPECT_TRUE(monitor.start());  // and it can follow again
    monitor.stop();
}

TEST(UeventMonitorTest, KernelEventsBecomeNoticesAndForgedOnesAreDropped) {
    NoticeCollector sink;
    UeventMonitor monitor(sink, "/tmp/tree/dev");
    if (!monitor.start())
        GTEST_SKIP() << "no uevent socket here (errno " << monitor.error() << ")";
    const bool forged = sendFromAProgram(monitor.portId(), kForgedRemoval);
    if (!askKernelToAnnounce(kConsole))
        GTEST_SKIP() << "cannot ask the kernel for an event without write access to /sys";

    std::vector<DeviceNotice> seen;
    ASSERT_TRUE(
        sink.waitFor([](const DeviceNotice& n) { return n.sysfsPath == kConsole; }, 10s, seen));
    // The forged removal was ahead of the kernel's event on the socket, and was not taken.
    bool announced = false;
    for (const DeviceNotice& notice : seen) {
        if (notice.sysfsPath != kConsole)
            continue;
        EXPECT_EQ(notice.kind, DeviceNotice::Kind::DevNodesChanged) << "forged: " << forged;
        EXPECT_EQ(notice.devicePath, u"/tmp/tree/dev/tty63");
        announced = true;
    }
    EXPECT_TRUE(announced);
}

TEST(UeventSocketTest, AnotherProgramsMessageShowsItsSenderAndIsNotTaken) {
    UeventSocket socket;
    if (!socket.isOpen())
        GTEST_SKIP() << "no uevent socket here (errno " << socket.error() << ")";
    if (!sendFromAProgram(socket.portId(), kForgedRemoval))
        GTEST_SKIP() << "sending to another netlink socket is not allowed here";
    std::string bytes;
    std::uint32_t sender = 0;
    bool truncated = true;
    UeventSocket::Received received = UeventSocket::Received::Nothing;
    // The datagram is in the socket's queue once sendto has returned; kernel events may be
    // ahead of it.
    for (int i = 0; i < 1000; ++i) {
        received = socket.receive(bytes, sender, truncated);
        if (received != UeventSocket::Received::Datagram || bytes == kForgedRemoval)
            break;
    }
    ASSERT_EQ(received, UeventSocket::Received::Datagram);
    EXPECT_EQ(bytes, kForgedRemoval);
    EXPECT_NE(sender, 0u);
    EXPECT_FALSE(truncated);
    EXPECT_FALSE(parseUevent(bytes, sender, truncated));
    EXPECT_TRUE(parseUevent(bytes, 0, truncated));  // the same bytes from the kernel would count
}

}  // namespace
