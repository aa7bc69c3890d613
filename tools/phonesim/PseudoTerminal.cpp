#include "phonesim/PseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace phonesim {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    // No termios and no window size: the kernel's defaults stay as they are.
    if (openpty(&master_, &slaveKeeper_, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    portPath_ = name;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slaveKeeper_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
    close();
}

void PseudoTerminal::close() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slaveKeeper_ >= 0) {
        ::close(slaveKeeper_);
        slaveKeeper_ = -1;
    }
}

}  // namespace phonesim
