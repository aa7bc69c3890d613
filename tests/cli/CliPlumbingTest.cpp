#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "cli/RetryPrompt.h"
#include "cli/SignalWatcher.h"

namespace {

using namespace std::chrono_literals;

// A pipe whose write end plays the person at the terminal.
class Keyboard {
public:
    Keyboard() { EXPECT_EQ(pipe(fds_), 0); }
    ~Keyboard() {
        close(fds_[0]);
        closeWriter();
    }
    int input() const { return fds_[0]; }
    void type(const std::string& text) {
        EXPECT_EQ(write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void closeWriter() {
        if (fds_[1] >= 0) {
            close(fds_[1]);
            fds_[1] = -1;
        }
    }

private:
    int fds_[2] = {-1, -1};
};

TEST(CliRetryPrompt, AsksUntilUnderstood) {
    Keyboard keyboard;
    keyboard.type("maybe\n  RETRY \n");
    std::ostringstream out;
    EXPECT_EQ(RetryPrompt::ask(keyboard.input(), out, "The disk is full.", [] { return false; }),
              RetryPrompt::Answer::Retry);
    EXPECT_EQ(out.str(),
              "The disk is full. Retry or abort? [r/a] Please answer r (retry) or a (abort): ");
    keyboard.type("a\n");
    EXPECT_EQ(RetryPrompt::ask(keyboard.input(), out, "Again.", [] { return false; }),
              RetryPrompt::Answer::Abort);
    EXPECT_EQ(RetryPrompt::answerOf("r"), RetryPrompt::Answer::Retry);
    EXPECT_EQ(RetryPrompt::answerOf("Abort"), RetryPrompt::Answer::Abort);
    EXPECT_FALSE(RetryPrompt::answerOf("").has_value());
    EXPECT_FALSE(RetryPrompt::answerOf("ra").has_value());
}

TEST(CliRetryPrompt, EndOfInputOrAStopMeansAbort) {
    Keyboard keyboard;
    keyboard.type("r");  // no line end before the input ends
    keyboard.closeWriter();
    std::ostringstream out;
    EXPECT_EQ(RetryPrompt::ask(keyboard.input(), out, "Q.", [] { return false; }),
              RetryPrompt::Answer::Abort);

    Keyboard silent;
    std::atomic<bool> stop{false};
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(200ms);
        stop = true;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RetryPrompt::ask(silent.input(), out, "Q.", [&stop] { return stop.load(); }),
              RetryPrompt::Answer::Abort);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(CliSignals, StopSignalsAreRecordedAndPipeAndFileSizeSignalsIgnored) {
    {
        SignalWatcher watcher;
        EXPECT_FALSE(watcher.stopRequested());
        ASSERT_EQ(raise(SIGPIPE), 0);  // would end the process if not ignored
        ASSERT_EQ(raise(SIGXFSZ), 0);
        EXPECT_FALSE(watcher.stopRequested());
        ASSERT_EQ(raise(SIGINT), 0);
        EXPECT_TRUE(watcher.stopRequested());
        ASSERT_EQ(raise(SIGTERM), 0);
        EXPECT_EQ(watcher.signalNumber(), SIGINT) << "the first signal is kept";
    }
    struct sigaction restored {};
    sigaction(SIGINT, nullptr, &restored);
    EXPECT_EQ(restored.sa_handler, SIG_DFL);
    SignalWatcher again;
    EXPECT_FALSE(again.stopRequested()) << "a new watcher starts clean";
}

}  // namespace
