#include "serial_comm/SerialPortException.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace serial_comm {

SerialPortException::SerialPortException(int code) noexcept : SerialPortException(code, 0) {}

SerialPortException::SerialPortException(int code, int openError) noexcept
    : code_(code), openError_(openError) {
    char buffer[64] = {};
    if (code == 0 && openError == 0) {
        std::snprintf(message_.data(), message_.size(), "serial port: the port is not open");
        return;
    }
    if (code == 0) {
        // GNU strerror_r: returns the text, which may or may not live in buffer.
        const char* text = strerror_r(openError, buffer, sizeof buffer);
        std::snprintf(message_.data(), message_.size(),
                      "serial port: the port cannot be opened: %s (errno %d)", text, openError);
        return;
    }
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
