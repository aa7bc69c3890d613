#include "serial_comm/PortErrorText.h"

#include <cerrno>
#include <cstring>

namespace serial_comm {

std::string portErrorText(int code) {
    switch (code) {
        case 0:
            return "The port is not open.";
        case ENOENT:
            return "There is no such port; check that the phone is plugged in.";
        case EACCES:
        case EPERM:
            return "You may not use this port: add your user to the \"dialout\" group "
                   "(sudo usermod -aG dialout $USER), then log out and back in.";
        case EWOULDBLOCK:  // flock: another program holds the lock
        case EBUSY:        // the port is opened exclusively elsewhere
            return "Another program is using this port; close it (a terminal program or a "
                   "modem manager, for instance) and try again.";
        case ENOTTY:
            return "This is not a serial port.";
        case EIO:
        case ENXIO:
        case ENODEV:
            return "The phone has been disconnected.";
        case ETIMEDOUT:
            return "The phone stopped accepting data.";
        default:
            break;
    }
    char buffer[128] = {};
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return std::string("The port cannot be used: ") + text + ".";
}

}  // namespace serial_comm
