#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "RawPortClient.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;

// contaxio-phonesim run as a child process, its standard output and error read through pipes.
class Child {
public:
    explicit Child(const std::vector<std::string>& arguments) {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(PHONESIM_EXECUTABLE)};
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(PHONESIM_EXECUTABLE, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~Child() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
        close(err_);
    }

    // Reads standard output up to the first line end.
    std::string firstLine(std::chrono::milliseconds timeout) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{out_, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0) {
                continue;
            }
            if (read(out_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line.push_back(c);
        }
        return line;
    }

    // Waits for the exit; the exit status, or -1 when it did not exit in time.
    int wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10000);
        }
        return -1;
    }

    static std::string drain(int fd) {
        std::string text;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = read(fd, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

    std::string output() { return drain(out_); }
    std::string errors() { return drain(err_); }
    void signal(int number) { kill(pid_, number); }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool exited_ = false;
};

TEST(PhonesimExecutable, PrintsThePortFirstAnswersAndEndsCleanlyOnSigterm) {
    test_support::TempDir dir;
    const auto file = dir.file("phone.scn");
    std::ofstream(file) << "[phone]\nmodel = Z9\n[storage ME]\n";
    Child child({file.string()});
    const std::string port = child.firstLine(10s);
    ASSERT_EQ(port.rfind("/dev/pts/", 0), 0u) << port << child.errors();
    {
        test_support::RawPortClient client(port);
        EXPECT_NE(client.command("AT+CGMM").find("\"MODEL=Z9\""), std::string::npos);
    }
    child.signal(SIGTERM);
    EXPECT_EQ(child.wait(10s), 0);
}

TEST(PhonesimExecutable, PlaysABuiltInScenarioAndEndsCleanlyOnSigint) {
    Child child({"--builtin", "ascii-only"});
    const std::string port = child.firstLine(10s);
    ASSERT_FALSE(port.empty()) << child.errors();
    test_support::RawPortClient client(port);
    EXPECT_NE(client.command("AT+CPBR=1,5").find("+CPBR: 2,\"+34600123456\",145,\"Jos? Garc?a\""),
              std::string::npos);
    child.signal(SIGINT);
    EXPECT_EQ(child.wait(10s), 0);
}

TEST(PhonesimExecutable, EndsByItselfWhenTheScenarioUnplugsThePhone) {
    test_support::TempDir dir;
    const auto file = dir.file("phone.scn");
    std::ofstream(file) << "[phone]\n[behaviour]\nunplug-at = AT+CGMR\n";
    Child child({file.string()});
    const std::string port = child.firstLine(10s);
    ASSERT_FALSE(port.empty()) << child.errors();
    test_support::RawPortClient client(port);
    client.send("AT+CGMR");
    EXPECT_TRUE(client.waitForHangup(5s));
    EXPECT_EQ(child.wait(10s), 0);
    EXPECT_EQ(child.errors(), "contaxio-phonesim: the phone was unplugged\n");
}

TEST(PhonesimExecutable, RefusesABadScenarioNamingTheLine) {
    test_support::TempDir dir;
    const auto file = dir.file("bad.scn");
    std::ofstream(file) << "[phone]\nmodel = Z9\n\n[storage ME]\nrange = ten\n";
    Child child({file.string()});
    EXPECT_EQ(child.wait(10s), 1);
    EXPECT_EQ(child.output(), "");
    EXPECT_EQ(child.errors(),
              file.string() + ":5: a range is written first-last, e.g. 1-250, not \"ten\"\n");
}

TEST(PhonesimExecutable, GeneratesAScenarioThatItCanPlay) {
    test_support::TempDir dir;
    Child generator({"--generate", "25", "--extended"});
    ASSERT_EQ(generator.wait(10s), 0);
    const auto file = dir.file("big.scn");
    std::ofstream(file) << generator.output();
    Child check({"--check", file.string()});
    EXPECT_EQ(check.wait(10s), 0);
    EXPECT_EQ(check.output(), file.string() + ": a phone with 25 contacts in 2 storages\n");
}

}  // namespace
