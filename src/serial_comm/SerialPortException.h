#pragma once

#include <array>
#include <exception>

namespace serial_comm {

// A failure of the serial port. code() is the errno of the system call that failed (EIO when
// the port reported end of file), or 0 when no system call failed: the port was not open, or
// it was closed while the operation waited.
//
// When the port could not be had at all (code 0), openError() may carry the errno of the open
// that failed (see SerialPort::lastOpenError()), so that people can be told why; 0 when that
// is not known or does not apply.
class SerialPortException : public std::exception {
public:
    explicit SerialPortException(int code) noexcept;
    SerialPortException(int code, int openError) noexcept;

    int code() const noexcept { return code_; }

    int openError() const noexcept { return openError_; }

    // True when the failure means the phone has been unplugged or switched off.
    bool phoneGone() const noexcept;

    const char* what() const noexcept override { return message_.data(); }

private:
    int code_;
    int openError_ = 0;
    std::array<char, 96> message_{};
};

// True for the errno values by which a vanished device shows: EIO, ENXIO, ENODEV.
bool isPhoneGoneError(int code) noexcept;

}  // namespace serial_comm
