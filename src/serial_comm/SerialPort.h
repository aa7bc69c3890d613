#pragma once

#include <termios.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "serial_comm/SerialPortException.h"

namespace serial_comm {

// One phone's modem port (a terminal device such as /dev/ttyACM0), opened for exclusive use in
// raw mode with the line's own speed; closing it puts back the line settings it had. Reads never
// wait: they return what has arrived. Writes send everything, waiting for the port to accept more
// within their time-out. Failures of the system calls are thrown as SerialPortException with the
// call's errno.
//
// One thread at a time reads and writes. close() may be called from any thread, also while an
// operation waits: the operation then fails with code 0, and close() returns once no
// operation uses the port any more, so that the port can be opened again at once.
class SerialPort {
public:
    // A time-out that never expires.
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Closes the port if it is open.
    virtual ~SerialPort();

    // Opens the port at path for exclusive use. The queue sizes are accepted for callers'
    // sake; the kernel sizes its own queues. False when the port is open already (nothing
    // changes) or cannot be opened; lastOpenError() then tells why.
    virtual bool open(const std::u16string& path, std::uint32_t inQueue, std::uint32_t outQueue);

    // False when the port was not open.
    virtual bool close();

    // Writes the bytes of a NUL-terminated text (without the NUL); see write().
    virtual std::uint32_t writeString(const char* text, std::uint32_t* written,
                                      std::uint32_t timeoutMs);

    // Writes all size bytes, waiting for the port to accept them for at most timeoutMs
    // (kInfinite: without limit); ETIMEDOUT when the time runs out. *written (if not null)
    // holds the bytes sent, also when an exception is thrown. Returns size.
    virtual std::uint32_t write(const void* data, std::uint32_t size, std::uint32_t* written,
                                std::uint32_t timeoutMs);

    // Reads what has arrived, at most size bytes, without waiting (timeoutMs is accepted for
    // callers' sake): 0 when nothing is there yet. *received (if not null) holds the count.
    virtual std::uint32_t read(void* buffer, std::uint32_t size, std::uint32_t* received,
                               std::uint32_t timeoutMs);

    // Waits until bytes can be read or the time-out passes (negative: without limit); false on
    // time-out. Throws code 0 when the port is closed, also while waiting, and a
    // phone-gone code when the device hangs up.
    bool waitReadable(std::chrono::milliseconds timeout);

    bool isOpen() const;

    // The errno of the last open() that failed, 0 after one that succeeded: ENOENT (no such
    // port), EACCES (no permission), EWOULDBLOCK or EBUSY (held by another program), ENOTTY
    // (not a terminal). causes::causeOfOpenError() names the cause people are told.
    int lastOpenError() const;

private:
    class Use;

    // Waits for events on the port with the given time-out in milliseconds (-1: none); false
    // on time-out. Throws code 0 when close() interrupts the wait.
    bool waitFor(int fd, int wakeFd, short events, int timeoutMs);

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int fd_ = -1;
    int wakeFd_ = -1;          // an eventfd that close() signals to end waits in progress
    termios foundSettings_{};  // the line settings before open(), restored by close()
    int users_ = 0;            // operations running on fd_ outside the lock
    bool closing_ = false;
    int lastOpenError_ = 0;
};

}  // namespace serial_comm
