#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>
#include <variant>

#include "cli/QueueingSinks.h"
#include "cli/RetryPrompt.h"
#include "cli/SignalWatcher.h"

namespace {

using namespace std::chrono_literals;

// A write-error reaction that tells how it was answered.
class RecordingReaction final : public IExportInterruptionReaction {
public:
    explicit RecordingReaction(std::atomic<int>& answer) : answer_(answer) {}
    void retry() override { answer_ = 1; }
    void abort() override { answer_ = 2; }

private:
    std::atomic<int>& answer_;
};

TEST(CliSinks, WorkerCallsArriveAsEventsInOrder) {
    EventQueue<CliEvent> queue;
    QueueingSinks sinks(queue);
    std::thread worker([&sinks] {
        sinks.onCharsets({u"UCS2", u"UTF8"});
        sinks.onStorages({StorageKind::Memory, StorageKind::Sim});
        sinks.onExportStarted(StorageKind::Memory, 12, 500);
        sinks.onExportProgress(0, 10);
        sinks.onExportFinished(ExportResult::Completed);
    });
    std::vector<CliEvent> events;
    while (events.size() < 5) {
        auto event = queue.pop(5s);
        ASSERT_TRUE(event.has_value()) << "after " << events.size() << " events";
        events.push_back(std::move(*event));
    }
    worker.join();
    EXPECT_EQ(std::get<cli_event::Charsets>(events[0]).names,
              (std::vector<std::u16string>{u"UCS2", u"UTF8"}));
    EXPECT_EQ(std::get<cli_event::Storages>(events[1]).kinds,
              (std::vector<StorageKind>{StorageKind::Memory, StorageKind::Sim}));
    const auto started = std::get<cli_event::StorageStarted>(events[2]);
    EXPECT_EQ(started.storage, StorageKind::Memory);
    EXPECT_EQ(started.usedEntries, 12);
    EXPECT_EQ(started.indexCount, 500);
    EXPECT_EQ(std::get<cli_event::Progress>(events[3]).position, 10);
    EXPECT_EQ(std::get<cli_event::StorageFinished>(events[4]).result, ExportResult::Completed);
    EXPECT_FALSE(queue.pop(0ms).has_value());
}

TEST(CliSinks, TheMainThreadAnswersTheWriteErrorTheWorkerWaitsOn) {
    EventQueue<CliEvent> queue;
    QueueingSinks sinks(queue);
    EXPECT_FALSE(sinks.answerWriteError(true)) << "nothing asked yet";
    for (const bool retry : {true, false}) {
        std::atomic<int> answer{0};
        std::thread worker(
            [&] { sinks.onExportInterrupted(false, std::make_unique<RecordingReaction>(answer)); });
        auto event = queue.pop(5s);
        ASSERT_TRUE(event.has_value());
        EXPECT_FALSE(std::get<cli_event::WriteFailed>(*event).accessError);
        worker.join();
        EXPECT_EQ(answer, 0) << "the sink does not answer by itself";
        EXPECT_TRUE(sinks.answerWriteError(retry));
        EXPECT_EQ(answer, retry ? 1 : 2);
        EXPECT_FALSE(sinks.answerWriteError(true)) << "answered once only";
        EXPECT_EQ(answer, retry ? 1 : 2);
    }
}

TEST(CliSinks, AfterRefusingEveryQuestionIsAbortedAtOnceAndNoneIsLeftWaiting) {
    EventQueue<CliEvent> queue;
    std::atomic<int> waiting{0};
    std::atomic<int> later{0};
    {
        QueueingSinks sinks(queue);
        sinks.onExportInterrupted(true, std::make_unique<RecordingReaction>(waiting));
        ASSERT_TRUE(queue.pop(0ms).has_value());
        sinks.refuseWriteErrors();
        EXPECT_EQ(waiting, 2);
        sinks.onExportInterrupted(true, std::make_unique<RecordingReaction>(later));
        EXPECT_EQ(later, 2);
        EXPECT_FALSE(queue.pop(0ms).has_value()) << "nobody is asked";
    }
    std::atomic<int> unanswered{0};
    {
        QueueingSinks sinks(queue);
        sinks.onExportInterrupted(true, std::make_unique<RecordingReaction>(unanswered));
    }
    EXPECT_EQ(unanswered, 2) << "the sink's end answers abort";
}

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
