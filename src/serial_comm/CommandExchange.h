#pragma once

#include <cstdint>
#include <string>

namespace serial_comm {

class Modem;

// One command and its answer: sends line with modem.sendCommand() and collects the answer with
// modem.readResponse(); returns the bytes received (0: the phone said nothing).
// SerialPortException passes through.
std::uint32_t exchange(Modem& modem, const std::string& line, std::string& answer);

}  // namespace serial_comm
