#pragma once

#include <chrono>

namespace serial_comm {

class SerialPort;

// Where a modem takes the time from and how it waits for the phone's bytes. The program's
// modems use the steady clock and sleep in poll(); a test gives its own, so that it can play a
// phone's pauses and silences without waiting for them.
class IModemClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~IModemClock() = default;

    virtual TimePoint now() = 0;

    // Returns once bytes can be read from the port or the time-out has passed, whichever comes
    // first. Throws what SerialPort::waitReadable throws (a closed port, a phone gone).
    virtual void waitReadable(SerialPort& port, std::chrono::milliseconds timeout) = 0;
};

}  // namespace serial_comm
