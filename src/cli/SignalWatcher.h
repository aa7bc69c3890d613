#pragma once

#include <csignal>

// Turns SIGINT, SIGTERM and SIGHUP into a stop request that the main thread looks at; the
// handler only records the signal. Also ignores SIGPIPE (a closed pipe is a write error) and
// SIGXFSZ (a file-size limit is a write error, not a killed process). The previous
// dispositions come back on destruction. One watcher at a time.
class SignalWatcher {
public:
    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    bool stopRequested() const;
    // The signal that asked for the stop, 0 when none did.
    int signalNumber() const;

private:
    static constexpr int kWatched[] = {SIGINT, SIGTERM, SIGHUP};
    static constexpr int kIgnored[] = {SIGPIPE, SIGXFSZ};

    struct sigaction previous_[5]{};
};
