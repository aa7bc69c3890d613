#include "serial_comm/SerialPortException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace serial_comm {

SerialPortException::SerialPortException(int code) noexcept : code_(code) {
    if (code == 0) {
        std::snprintf(message_.data(), message_.size(), "serial port: the port is not open");
        return;
    }
    char buffer[64] = {};
    // GNU strerror_r: returns the text, which may or may not live in buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    std::snprintf(message_.data(), message_.size(), "serial port: %s (errno %d)", text, code);
}

bool SerialPortException::phoneGone() const noexcept {
    return isPhoneGoneError(code_);
}

bool isPhoneGoneError(int code) noexcept {
    return code == EIO || code == ENXIO || code == ENODEV;
}

}  // namespace serial_comm
