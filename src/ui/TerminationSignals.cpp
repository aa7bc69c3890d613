#include "ui/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace {

// The pipe's write end, for the handler: lock-free, so safe to read in a handler.
std::atomic<int> g_wakeDescriptor{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void wakeOnSignal(int number) {
    const int saved = errno;
    const int descriptor = g_wakeDescriptor.load();
    if (descriptor >= 0) {
        const auto byte = static_cast<unsigned char>(number);
        // A full pipe already holds a wake-up; nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(descriptor, &byte, 1);
    }
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    g_wakeDescriptor.store(writeEnd_);

    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = wakeOnSignal;
    action.sa_flags = SA_RESTART;
    std::size_t slot = 0;
    for (const int number : kCaught) {
        sigaction(number, &action, &previous_[slot++]);
    }
    caught_ = true;
}

TerminationSignals::~TerminationSignals() {
    restoreDispositions();
    g_wakeDescriptor.store(-1);
    delete notifier_;
    ::close(readEnd_);
    ::close(writeEnd_);
}

void TerminationSignals::restoreDispositions() {
    if (!caught_) {
        return;
    }
    caught_ = false;
    std::size_t slot = 0;
    for (const int number : kCaught) {
        sigaction(number, &previous_[slot++], nullptr);
    }
}

void TerminationSignals::readPipe() {
    unsigned char bytes[16];
    int first = 0;
    for (;;) {
        const ssize_t count = ::read(readEnd_, bytes, sizeof bytes);
        if (count <= 0) {
            break;
        }
        if (first == 0) {
            first = bytes[0];
        }
    }
    if (first == 0 || received_ != 0) {
        return;
    }
    received_ = first;
    restoreDispositions();
    emit received(received_);
}
