#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP (Ctrl-C, a plain kill, the terminal that started the
// wizard going away) into a Qt signal on the UI thread, so that the program can end through
// its usual way out (the ports closed, the settings saved, the demo's device tree removed)
// instead of dying where it stands. The handler does the one thing a signal handler may do: it
// writes the signal's number into a pipe. A QSocketNotifier on the pipe's other end emits
// received() from whichever event loop runs then: the wizard's, or that of a message box.
//
// Only the first signal is caught: received() restores the dispositions the process had
// before, so that a second Ctrl-C ends a program that does not end by itself. The destructor
// restores them too. One object at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    // Needs the QCoreApplication. Throws std::system_error when no pipe can be had.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The number of the signal received, 0 while none was.
    int signalNumber() const { return received_; }

signals:
    void received(int signalNumber);

private:
    static constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};

    void readPipe();
    void restoreDispositions();

    int readEnd_ = -1;
    int writeEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3]{};
    bool caught_ = false;
    int received_ = 0;
};
