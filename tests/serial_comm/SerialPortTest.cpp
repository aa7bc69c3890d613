#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "PtyPair.h"
#include "TempDir.h"
#include "causes/CauseTable.h"
#include "charsets/TextCodec.h"
#include "serial_comm/SerialPort.h"

namespace {

using serial_comm::SerialPort;
using serial_comm::SerialPortException;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::u16string widePath(const std::string& path) {
    return text_codec::fromUtf8(path);
}

// The errno a throwing operation carried, or -1 when it did not throw.
template <typename Operation>
int thrownCode(Operation operation, bool* phoneGone = nullptr) {
    try {
        operation();
    } catch (const SerialPortException& e) {
        if (phoneGone != nullptr)
            *phoneGone = e.phoneGone();
        return e.code();
    }
    return -1;
}

// Reads from the port until `size` bytes came or a wait for more passed without any.
std::string readPort(SerialPort& port, std::size_t size) {
    std::string text;
    char buffer[64];
    while (text.size() < size && port.waitReadable(milliseconds(1000))) {
        const std::uint32_t n = port.read(buffer, sizeof buffer, nullptr, 0);
        text.append(buffer, n);
    }
    return text;
}

// Forks a child that tries to open path and exits 0 when it could, 1 when the port was held
// by someone else (EBUSY or EWOULDBLOCK), 2 otherwise.
int openInChildProcess(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        SerialPort port;
        if (port.open(widePath(path), 0, 0))
            _exit(0);
        const int error = port.lastOpenError();
        _exit(error == EBUSY || error == EWOULDBLOCK ? 1 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool isHeldError(int error) {
    return error == EBUSY || error == EWOULDBLOCK;
}

TEST(SerialPort, SecondOpenOnTheSameObjectIsRefusedAndTheFirstStaysInUse) {
    test_support::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    EXPECT_FALSE(port.open(widePath(pty.slavePath()), 0, 0));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.writeString("AT\r\n", nullptr, SerialPort::kInfinite), 4u);
    EXPECT_EQ(pty.readMaster(4, milliseconds(1000)), "AT\r\n");
}

TEST(SerialPort, AHeldPortIsRefusedToAnotherObjectAndAnotherProcessUntilClosed) {
    test_support::PtyPair pty;
    SerialPort first;
    ASSERT_TRUE(first.open(widePath(pty.slavePath()), 0, 0));

    SerialPort second;
    EXPECT_FALSE(second.open(widePath(pty.slavePath()), 0, 0));
    EXPECT_PRED1(isHeldError, second.lastOpenError());
    EXPECT_EQ(causes::causeOfOpenError(second.lastOpenError()), causes::Cause::Busy);
    EXPECT_EQ(openInChildProcess(pty.slavePath()), 1);

    // Closing gives the port up completely: lock and exclusive mode are both gone.
    EXPECT_TRUE(first.close());
    EXPECT_EQ(openInChildProcess(pty.slavePath()), 0);
    EXPECT_TRUE(second.open(widePath(pty.slavePath()), 0, 0));
    EXPECT_EQ(second.lastOpenError(), 0);
}

TEST(SerialPort, FailedOpensKeepTheReason) {
    test_support::TempDir dir;
    SerialPort port;
    EXPECT_FALSE(port.open(widePath((dir.path() / "ttyACM9").string()), 0, 0));
    EXPECT_EQ(port.lastOpenError(), ENOENT);

    const auto file = dir.file("not-a-port");
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fclose(f);
    }
    EXPECT_FALSE(port.open(widePath(file.string()), 0, 0));
    EXPECT_EQ(port.lastOpenError(), ENOTTY);
    EXPECT_FALSE(port.isOpen());

    EXPECT_FALSE(port.open(u"", 0, 0));
    EXPECT_EQ(port.lastOpenError(), ENOENT);
}

TEST(SerialPort, ReadWithNothingPendingReturnsZeroAtOnce) {
    test_support::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    char buffer[16];
    std::uint32_t received = 99;
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buffer, sizeof buffer, &received, 2000), 0u);
    EXPECT_EQ(received, 0u);
    EXPECT_LT(Clock::now() - start, milliseconds(200));
    EXPECT_FALSE(port.waitReadable(milliseconds(20)));

    pty.writeMaster("x");
    EXPECT_TRUE(port.waitReadable(milliseconds(1000)));
    EXPECT_EQ(port.read(buffer, sizeof buffer, &received, 0), 1u);
    EXPECT_EQ(received, 1u);
}

TEST(SerialPort, OperationsOnAClosedPortThrowCodeZero) {
    test_support::PtyPair pty;
    SerialPort port;
    char buffer[4] = {};
    const auto readIt = [&] { port.read(buffer, sizeof buffer, nullptr, 0); };
    const auto writeIt = [&] { port.write(buffer, sizeof buffer, nullptr, 0); };
    const auto waitIt = [&] { port.waitReadable(milliseconds(0)); };
    bool gone = true;
    EXPECT_EQ(thrownCode(readIt, &gone), 0);
    EXPECT_FALSE(gone);
    EXPECT_EQ(thrownCode(writeIt), 0);
    EXPECT_FALSE(port.close());

    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    EXPECT_TRUE(port.close());
    EXPECT_FALSE(port.close());
    EXPECT_EQ(thrownCode(readIt), 0);
    EXPECT_EQ(thrownCode(writeIt), 0);
    EXPECT_EQ(thrownCode(waitIt), 0);
}

TEST(SerialPort, CarriageReturnAndLineFeedPassUnchangedWithoutEcho) {
    test_support::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));

    const std::string fromPhone = "+CPBS: 1\r\r\nOK\r\n\n\r";
    pty.writeMaster(fromPhone);
    EXPECT_EQ(readPort(port, fromPhone.size()), fromPhone);

    const std::string toPhone = "AT+CPBS?\r\n\n\r";
    port.writeString(toPhone.c_str(), nullptr, SerialPort::kInfinite);
    // Anything beyond our own bytes (an echo of the phone's) would show up here too.
    EXPECT_EQ(pty.readMaster(toPhone.size() + 1, milliseconds(200)), toPhone);
}

// The port is raw while open, and has its own settings (echo, line editing) back after.
TEST(SerialPort, CloseRestoresTheLineSettingsFoundAtOpen) {
    test_support::PtyPair pty;
    termios before{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &before), 0);
    ASSERT_NE(before.c_lflag & (ECHO | ICANON), 0u);
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    termios open{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &open), 0);
    EXPECT_EQ(open.c_lflag & (ECHO | ICANON), 0u);
    EXPECT_TRUE(port.close());
    termios after{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
}

TEST(SerialPort, AnUnpluggedPhoneMakesEveryOperationSayThePhoneHasGone) {
    test_support::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    pty.closeMaster();

    char buffer[8] = {};
    bool gone = false;
    EXPECT_NE(thrownCode([&] { port.read(buffer, sizeof buffer, nullptr, 0); }, &gone), -1);
    EXPECT_TRUE(gone);
    gone = false;
    EXPECT_NE(thrownCode([&] { port.writeString("AT\r\n", nullptr, 1000); }, &gone), -1);
    EXPECT_TRUE(gone);
    gone = false;
    EXPECT_NE(thrownCode([&] { port.waitReadable(milliseconds(1000)); }, &gone), -1);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(port.close());
}

TEST(SerialPort, WriteGivesUpAfterItsTimeOutWhenThePhoneTakesNothing) {
    test_support::PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(widePath(pty.slavePath()), 0, 0));
    const std::vector<char> block(1 << 20, 'x');
    std::uint32_t written = 0;
    const auto start = Clock::now();
    const int code = thrownCode(
        [&] { port.write(block.data(), static_cast<std::uint32_t>(block.size()), &written, 150); });
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(code, ETIMEDOUT);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, block.size());
    EXPECT_GE(elapsed, milliseconds(150));
    EXPECT_LT(elapsed, milliseconds(1500));
    // The port stays usable.
    char buffer[4];
    EXPECT_EQ(port.read(buffer, sizeof buffer, nullptr, 0), 0u);
}

TEST(SerialPortException, IsCopyableAndTellsAVanishedPhone) {
    const SerialPortException gone(EIO);
    const SerialPortException copy = gone;  // NOLINT(performance-unnecessary-copy-initialization)
    EXPECT_EQ(copy.code(), EIO);
    EXPECT_TRUE(copy.phoneGone());
    EXPECT_TRUE(SerialPortException(ENXIO).phoneGone());
    EXPECT_TRUE(SerialPortException(ENODEV).phoneGone());
    EXPECT_FALSE(SerialPortException(0).phoneGone());
    EXPECT_FALSE(SerialPortException(ETIMEDOUT).phoneGone());
    EXPECT_NE(std::string(copy.what()), "");
}

}  // namespace
