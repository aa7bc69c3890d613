#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "serial_comm/AtProtocol.h"
#include "serial_comm/IModemClock.h"
#include "serial_comm/SerialPort.h"

namespace serial_comm {

// The phone's AT command line: writes one command, then collects the phone's whole answer.
// Strictly request and response; one thread at a time (the port itself may be closed from
// another thread, which ends a wait in progress with SerialPortException code 0).
class Modem {
public:
    // Sees the bytes going to the phone (outgoing true) and coming from it, as they pass.
    using Trace = std::function<void(bool outgoing, std::string_view bytes)>;

    // A modem on the steady clock, waiting in poll().
    Modem();
    // A modem that takes the time and its waits from clock, which must outlive it.
    explicit Modem(IModemClock& clock) : clock_(&clock) {}
    Modem(const Modem&) = delete;
    Modem& operator=(const Modem&) = delete;

    // Closes the port.
    virtual ~Modem();

    // The port, closed until its owner opens it.
    SerialPort& port() { return port_; }
    const SerialPort& port() const { return port_; }

    // Sends line followed by "\r\n", waiting as long as the port needs; returns the bytes
    // written. SerialPortException passes through.
    std::uint32_t sendCommand(const std::string& line);

    // Collects the phone's answer into answer (replacing what it held) and returns the number
    // of bytes received; 0 means the phone said nothing. Reading ends as soon as the text holds
    // "\r\nOK\r\n" or "\r\nERROR\r\n", or a whole error line ("+CME ERROR: 22",
    // "+CMS ERROR: 500", "COMMAND NOT SUPPORT"; see FinalResult.h), after the silence time-out
    // since the last byte, or when at::kAnswerLimit bytes have come (a device that streams
    // without end). After the echo of AT+MODE=2 the lines the phone sends after its OK are
    // collected too. Each chunk read is kept up to its first NUL byte. The echo, blank lines and
    // the final result stay in the text.
    //
    // A late answer is left out: once a command was sent, text that starts with the echo of
    // another command is the answer to an earlier one that came after its silence ran out (the
    // phone answers in order), so it is dropped up to its final result and not counted, and the
    // reading goes on for this command's own answer. SerialPortException passes through.
    std::uint32_t readResponse(std::string& answer);

    // Installs (or, with an empty function, removes) the trace. Not while a command runs.
    void setTrace(Trace trace) { trace_ = std::move(trace); }

    // The silence that ends an answer, 2000 ms unless changed: a knob for tools and for tests
    // of silent phones. Not while a command runs.
    void setSilenceTimeout(std::chrono::milliseconds timeout) { silenceTimeout_ = timeout; }

private:
    // Reads what has arrived into text, counting it in total; returns the bytes read.
    std::uint32_t readChunk(std::string& text, std::size_t& total);

    // Collects the lines that follow the final OK of AT+MODE=2.
    void readModeTail(std::string& text, std::size_t& total);

    // Removes the whole late answers (see readResponse) at the start of text; the bytes removed.
    std::size_t dropLateAnswers(std::string& text) const;

    IModemClock* clock_;
    SerialPort port_;
    Trace trace_;
    // The last command line sent, without its line end; empty before the first.
    std::string lastCommand_;
    std::chrono::milliseconds silenceTimeout_ = at::kSilenceTimeout;
};

}  // namespace serial_comm
