#include "cli/SignalWatcher.h"

#include <atomic>

namespace {

// The one piece of state a signal handler may touch: lock-free, so safe in a handler.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void recordStopSignal(int number) {
    int none = 0;
    g_stopSignal.compare_exchange_strong(none, number);
}

}  // namespace

SignalWatcher::SignalWatcher() {
    g_stopSignal.store(0);
    std::size_t slot = 0;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = recordStopSignal;
    action.sa_flags = SA_RESTART;
    for (const int number : kWatched) {
        sigaction(number, &action, &previous_[slot++]);
    }
    action.sa_handler = SIG_IGN;
    for (const int number : kIgnored) {
        sigaction(number, &action, &previous_[slot++]);
    }
}

SignalWatcher::~SignalWatcher() {
    std::size_t slot = 0;
    for (const int number : kWatched) {
        sigaction(number, &previous_[slot++], nullptr);
    }
    for (const int number : kIgnored) {
        sigaction(number, &previous_[slot++], nullptr);
    }
    g_stopSignal.store(0);
}

bool SignalWatcher::stopRequested() const {
    return g_stopSignal.load() != 0;
}

int SignalWatcher::signalNumber() const {
    return g_stopSignal.load();
}
