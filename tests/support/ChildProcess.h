#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

// A program run as a child process for end-to-end tests, its standard output and error
// captured through pipes. Every wait is bounded; a child still running at destruction (or
// after a wait that timed out) is killed.
class ChildProcess {
public:
    struct Options {
        std::string workingDirectory;                // empty: the test's own
        std::optional<std::uint64_t> fileSizeLimit;  // RLIMIT_FSIZE of the child, in bytes
        int standardInput = -1;                      // a descriptor; -1: /dev/null
        int standardOutput = -1;  // a descriptor; -1: a pipe that output() collects
        // "NAME=value" entries set in the child's environment, over the test's own.
        std::vector<std::string> environment;
    };

    // Throws std::runtime_error when the child cannot be started.
    ChildProcess(const std::string& executable, const std::vector<std::string>& arguments,
                 const Options& options);
    ChildProcess(const std::string& executable, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the exit, collecting the output meanwhile: the exit status, 128 + the signal
    // for a child ended by a signal, or -1 when it did not end in time (it is then killed).
    int wait(std::chrono::milliseconds timeout);

    // Collects standard error until it holds text (at least times times); false when the time
    // ran out first or the child closed its standard error.
    bool waitForError(const std::string& text, std::chrono::milliseconds timeout,
                      std::size_t times = 1);
    // The same for standard output.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout,
                       std::size_t times = 1);

    void signal(int number);

    pid_t pid() const { return pid_; }

    // What the child wrote so far (all of it after wait()).
    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }

private:
    // Reads what the pipes hold, waiting at most timeout for something; false when both pipes
    // are closed.
    bool collect(std::chrono::milliseconds timeout);
    // Collects until output() (standard output) or errors() holds text times times.
    bool waitFor(bool standardOutput, const std::string& text, std::chrono::milliseconds timeout,
                 std::size_t times);

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool exited_ = false;
    int status_ = -1;
    std::string output_;
    std::string errors_;
};

}  // namespace test_support
