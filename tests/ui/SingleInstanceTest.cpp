// One instance per user session: real processes (the helper) for the starts, raw sockets for a
// dead or a hung instance, and the protocol seen from a client in this process.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QTest>

#include <chrono>
#include <cstring>
#include <string>

#include "ChildProcess.h"
#include "TempDir.h"
#include "ui/SingleInstance.h"

using namespace std::chrono_literals;
using test_support::ChildProcess;

namespace {

constexpr auto kWait = 20s;

class SingleInstanceTest : public ::testing::Test {
protected:
    QString socketPath() const {
        return QString::fromStdString((dir_.path() / "instance").string());
    }

    ChildProcess start(std::vector<std::string> options = {}) const {
        options.insert(options.begin(), socketPath().toStdString());
        return ChildProcess(CONTAXIO_SINGLE_INSTANCE_HELPER, options);
    }

    // A Unix socket bound at the socket path; listening or not.
    int bindRawSocket(bool listening) const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = socketPath().toStdString();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        if (listening) {
            EXPECT_EQ(::listen(fd, 4), 0);
        }
        return fd;
    }

    test_support::TempDir dir_;
};

TEST_F(SingleInstanceTest, ALaterStartBringsTheFirstToTheFrontAndEnds) {
    ChildProcess first = start({"--exit-after", "2"});
    ASSERT_TRUE(first.waitForError("first listening\n", kWait)) << first.errors();

    ChildProcess second = start({"--token", "desktop-token-42"});
    EXPECT_EQ(second.wait(kWait), 0);
    EXPECT_EQ(second.errors(), "activated-other\n");
    EXPECT_TRUE(first.waitForError("raised token=desktop-token-42\n", kWait)) << first.errors();

    ChildProcess third = start();
    EXPECT_EQ(third.wait(kWait), 0);
    EXPECT_EQ(third.errors(), "activated-other\n");

    // Asked twice, the first ends by itself and takes its socket away.
    EXPECT_EQ(first.wait(kWait), 0);
    EXPECT_EQ(first.errors(), "first listening\nraised token=desktop-token-42\nraised token=\n");
    EXPECT_FALSE(QFile::exists(socketPath()));
}

TEST_F(SingleInstanceTest, TheSocketOfACrashedInstanceDoesNotBlockTheNextStart) {
    ChildProcess crashed = start();
    ASSERT_TRUE(crashed.waitForError("first listening\n", kWait)) << crashed.errors();
    crashed.signal(SIGKILL);
    EXPECT_EQ(crashed.wait(kWait), 128 + SIGKILL);
    ASSERT_TRUE(QFile::exists(socketPath())) << "a killed instance leaves its socket";

    ChildProcess next = start({"--exit-after", "1"});
    ASSERT_TRUE(next.waitForError("first listening\n", kWait)) << next.errors();
    ChildProcess after = start();
    EXPECT_EQ(after.wait(kWait), 0);
    EXPECT_EQ(after.errors(), "activated-other\n");
    EXPECT_EQ(next.wait(kWait), 0);
}

TEST_F(SingleInstanceTest, AnInstanceWithoutAWindowYetCannotBeReached) {
    ChildProcess starting = start({"--no-window"});
    ASSERT_TRUE(starting.waitForError("first listening\n", kWait)) << starting.errors();
    ChildProcess second = start();
    EXPECT_EQ(second.wait(kWait), 0);
    EXPECT_EQ(second.errors(), "unreachable: the running instance has no window yet\n");
}

TEST_F(SingleInstanceTest, AnInstanceThatDoesNotAnswerCannotBeReached) {
    // Accepts connections (the kernel does) but never answers: a hung instance.
    const int hung = bindRawSocket(true);
    SingleInstance instance(socketPath(), 200ms);
    EXPECT_EQ(instance.start(QString()), SingleInstance::Outcome::OtherUnreachable);
    EXPECT_EQ(instance.errorString(), QStringLiteral("the running instance does not answer"));
    EXPECT_FALSE(instance.isListening());
    ::close(hung);
}

TEST_F(SingleInstanceTest, DeadSocketsAndStrayFilesAreReplaced) {
    // A socket nobody listens on any more, as a crash leaves it.
    ::close(bindRawSocket(false));
    {
        SingleInstance instance(socketPath(), 200ms);
        EXPECT_EQ(instance.start(QString()), SingleInstance::Outcome::First);
        EXPECT_TRUE(instance.isListening()) << instance.errorString().toStdString();
    }
    EXPECT_FALSE(QFile::exists(socketPath()));

    QFile stray(socketPath());
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    SingleInstance instance(socketPath(), 200ms);
    EXPECT_EQ(instance.start(QString()), SingleInstance::Outcome::First);
    EXPECT_TRUE(instance.isListening());
    struct stat info {};
    ASSERT_EQ(::stat(socketPath().toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << "only the user may connect";
}

TEST_F(SingleInstanceTest, AStartThatHoldsTheLockTooLongMakesTheNextOneGiveUp) {
    QLockFile other(socketPath() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    SingleInstance instance(socketPath(), 100ms);
    EXPECT_EQ(instance.start(QString()), SingleInstance::Outcome::OtherUnreachable);
    EXPECT_FALSE(instance.isListening());
}

// The running instance's side, talked to by a client in this process.
class RunningInstance : public SingleInstanceTest {
protected:
    void SetUp() override {
        ASSERT_EQ(instance_.start(QString()), SingleInstance::Outcome::First);
        ASSERT_TRUE(instance_.isListening());
        instance_.setActivationHandler([this](const QString& token) {
            tokens_.push_back(token);
            return true;
        });
    }

    // Sends bytes; returns the answer line, or what was there when the instance hung up.
    QByteArray exchange(const QByteArray& request) {
        QLocalSocket client;
        client.connectToServer(socketPath());
        EXPECT_TRUE(client.waitForConnected(5000));
        client.write(request);
        client.flush();
        QByteArray answer;
        const bool ended = QTest::qWaitFor(
            [&] {
                answer += client.readAll();
                return answer.endsWith('\n') || client.state() != QLocalSocket::ConnectedState;
            },
            10000);
        EXPECT_TRUE(ended);
        return answer + client.readAll();
    }

    SingleInstance instance_{socketPath(), 2s};
    QStringList tokens_;
};

TEST_F(RunningInstance, AnswersActivationRequestsAndPassesCleanTokensOn) {
    EXPECT_EQ(exchange("contaxio activate abc_DEF-1.2\n"), "raised\n");
    EXPECT_EQ(exchange("contaxio activate\n"), "raised\n");
    // A token with a space, a control character or non-ASCII bytes is not passed on.
    EXPECT_EQ(exchange("contaxio activate a b\n"), "raised\n");
    EXPECT_EQ(exchange("contaxio activate a\x01z\n"), "raised\n");
    EXPECT_EQ(exchange("contaxio activate \xc3\xa9\n"), "raised\n");
    EXPECT_EQ(tokens_, (QStringList{QStringLiteral("abc_DEF-1.2"), QString(), QString(), QString(),
                                    QString()}));
}

TEST_F(RunningInstance, HangsUpOnAnythingElse) {
    EXPECT_EQ(exchange("hello\n"), "");
    EXPECT_EQ(exchange(QByteArray(5000, 'x')), "");
    EXPECT_EQ(exchange("contaxio activateX\n"), "");
    EXPECT_TRUE(tokens_.isEmpty());
    // And still answers a proper request afterwards.
    EXPECT_EQ(exchange("contaxio activate\n"), "raised\n");
}

// Sets or unsets an environment variable for one test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), previous_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (wasSet_) {
            qputenv(name_, previous_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    QByteArray previous_;
    bool wasSet_;
};

TEST(SingleInstanceSocketPath, LivesInTheUsersPrivateRuntimeFolder) {
    test_support::TempDir runtime;
    ::chmod(runtime.path().c_str(), 0700);
    const QString folder = QString::fromStdString(runtime.path().string());
    {
        const ScopedEnvironment env("XDG_RUNTIME_DIR", folder.toLocal8Bit());
        EXPECT_EQ(SingleInstance::defaultSocketPath(),
                  folder + QStringLiteral("/contaxio.instance"));
    }
    // A runtime folder others may enter is not used; the fallback is a folder of our own.
    ::chmod(runtime.path().c_str(), 0777);
    const ScopedEnvironment env("XDG_RUNTIME_DIR", folder.toLocal8Bit());
    const QString fallback = SingleInstance::defaultSocketPath();
    ASSERT_FALSE(fallback.isEmpty());
    EXPECT_FALSE(fallback.startsWith(folder));
    struct stat info {};
    ASSERT_EQ(::lstat(QFileInfo(fallback).absolutePath().toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_uid, ::getuid());
    EXPECT_EQ(info.st_mode & 077, 0u);
}

}  // namespace
