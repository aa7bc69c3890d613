#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace test_support {

namespace {

using Clock = std::chrono::steady_clock;

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::string& executable, const std::vector<std::string>& arguments)
    : ChildProcess(executable, arguments, Options{}) {}

ChildProcess::ChildProcess(const std::string& executable, const std::vector<std::string>& arguments,
                           const Options& options) {
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    const int input = options.standardInput >= 0 ? options.standardInput
                                                 : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    // Everything the child needs is prepared here: after fork only system calls are made.
    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    struct rlimit limit {};
    if (options.fileSizeLimit) {
        limit.rlim_cur = limit.rlim_max = *options.fileSizeLimit;
    }
    const char* directory =
        options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    // The test's environment with the entries given set over it.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('=') + 1);
        const bool replaced =
            std::any_of(options.environment.begin(), options.environment.end(),
                        [&name](const std::string& given) { return given.starts_with(name); });
        if (!replaced) {
            environment.push_back(text);
        }
    }
    environment.insert(environment.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(input, STDIN_FILENO);
        ::dup2(options.standardOutput >= 0 ? options.standardOutput : out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if ((directory != nullptr && ::chdir(directory) != 0) ||
            (options.fileSizeLimit && ::setrlimit(RLIMIT_FSIZE, &limit) != 0)) {
            ::_exit(126);
        }
        ::execve(executable.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    if (options.standardInput < 0 && input >= 0) {
        ::close(input);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    if (pid_ < 0) {
        closeIfOpen(out_);
        closeIfOpen(err_);
        throw std::runtime_error("fork failed");
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    closeIfOpen(out_);
    closeIfOpen(err_);
}

bool ChildProcess::collect(std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (out_ < 0 && err_ < 0) {
        return false;
    }
    const int ready = ::poll(fds, 2, static_cast<int>(timeout.count()));
    if (ready <= 0) {
        return true;
    }
    for (int i = 0; i < 2; ++i) {
        int& fd = i == 0 ? out_ : err_;
        std::string& text = i == 0 ? output_ : errors_;
        if (fd < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            closeIfOpen(fd);
        }
    }
    return true;
}

int ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!exited_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            exited_ = true;
            status_ = -1;
            break;
        }
        if (!collect(std::chrono::milliseconds(20))) {
            ::usleep(10000);
        }
    }
    // What is left in the pipes; the child has gone, so they end soon.
    while ((out_ >= 0 || err_ >= 0) && Clock::now() < deadline + std::chrono::seconds(5)) {
        collect(std::chrono::milliseconds(100));
    }
    return status_;
}

bool ChildProcess::waitForError(const std::string& text, std::chrono::milliseconds timeout,
                                std::size_t times) {
    return waitFor(false, text, timeout, times);
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout,
                                 std::size_t times) {
    return waitFor(true, text, timeout, times);
}

bool ChildProcess::waitFor(bool standardOutput, const std::string& text,
                           std::chrono::milliseconds timeout, std::size_t times) {
    const auto deadline = Clock::now() + timeout;
    const std::string& collected = standardOutput ? output_ : errors_;
    const auto found = [&collected, &text] {
        std::size_t count = 0;
        for (std::size_t at = collected.find(text); at != std::string::npos;
             at = collected.find(text, at + text.size())) {
            ++count;
        }
        return count;
    };
    while (found() < times) {
        const int fd = standardOutput ? out_ : err_;
        if (Clock::now() >= deadline || fd < 0) {
            return false;
        }
        collect(std::chrono::milliseconds(20));
    }
    return true;
}

void ChildProcess::signal(int number) {
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, number);
    }
}

}  // namespace test_support
