// Signals that end the program, turned into a Qt signal on the UI thread, also while a modal
// dialog's event loop runs; the second one goes where it went before.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDialog>
#include <QSignalSpy>
#include <QTimer>

#include <atomic>

#include "ui/TerminationSignals.h"

namespace {

constexpr int kWaitMs = 10000;

std::atomic<int> g_recorded{0};

extern "C" void recordSignal(int /*number*/) {
    ++g_recorded;
}

// A handler of the test's own for the signal, so that a signal that reaches the process's
// earlier disposition is counted instead of ending the test; the old one comes back after.
class RecordingDisposition {
public:
    explicit RecordingDisposition(int number) : number_(number) {
        g_recorded = 0;
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_handler = recordSignal;
        sigaction(number_, &action, &previous_);
    }
    ~RecordingDisposition() { sigaction(number_, &previous_, nullptr); }
    RecordingDisposition(const RecordingDisposition&) = delete;
    RecordingDisposition& operator=(const RecordingDisposition&) = delete;

private:
    int number_;
    struct sigaction previous_ {};
};

bool handledBy(int number, void (*handler)(int)) {
    struct sigaction now {};
    sigaction(number, nullptr, &now);
    return now.sa_handler == handler;
}

TEST(TerminationSignals, TheFirstSignalIsReportedAndTheNextGoesWhereItWentBefore) {
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sigabbrev_np(number));
        const RecordingDisposition before(number);
        {
            TerminationSignals watcher;
            QSignalSpy spy(&watcher, &TerminationSignals::received);
            EXPECT_EQ(watcher.signalNumber(), 0);
            ASSERT_EQ(raise(number), 0);
            ASSERT_TRUE(spy.wait(kWaitMs));
            ASSERT_EQ(spy.count(), 1);
            EXPECT_EQ(spy.at(0).at(0).toInt(), number);
            EXPECT_EQ(watcher.signalNumber(), number);
            EXPECT_EQ(g_recorded.load(), 0);

            // Caught once only: a second Ctrl-C ends a program that does not end by itself.
            ASSERT_EQ(raise(number), 0);
            EXPECT_EQ(g_recorded.load(), 1);
            QCoreApplication::processEvents();
            EXPECT_EQ(spy.count(), 1);
        }
        EXPECT_TRUE(handledBy(number, recordSignal));
    }
}

TEST(TerminationSignals, ASignalReachesTheUiThreadWhileAModalDialogWaits) {
    const RecordingDisposition before(SIGTERM);
    TerminationSignals watcher;
    QDialog dialog;
    QObject::connect(&watcher, &TerminationSignals::received, &dialog, &QDialog::reject);
    // Raised once the dialog's own event loop runs; the dialog ends when the signal arrives.
    QTimer::singleShot(0, &dialog, [] { raise(SIGTERM); });
    QTimer::singleShot(kWaitMs, &dialog, [&dialog] { dialog.done(42); });  // a bound, not a wait
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(watcher.signalNumber(), SIGTERM);
}

TEST(TerminationSignals, WithoutASignalTheDispositionsComeBackUnchanged) {
    const RecordingDisposition before(SIGINT);
    {
        const TerminationSignals watcher;
        EXPECT_FALSE(handledBy(SIGINT, recordSignal));
    }
    EXPECT_TRUE(handledBy(SIGINT, recordSignal));
}

}  // namespace
