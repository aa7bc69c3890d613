#include "phonesim/WakeSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace phonesim {

WakeSignal::WakeSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

WakeSignal::~WakeSignal() {
    close(fd_);
}

void WakeSignal::notify() {
    const std::uint64_t one = 1;
    // A full counter (never reached in practice) still leaves the descriptor readable.
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

void WakeSignal::clear() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read_ = read(fd_, &count, sizeof count);
}

}  // namespace phonesim
