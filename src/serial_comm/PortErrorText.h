#pragma once

#include <string>

namespace serial_comm {

// One sentence, for people, that says why a port could not be opened or used, from the errno
// kept by SerialPort::lastOpenError() or carried by a SerialPortException (0: not open).
std::string portErrorText(int code);

}  // namespace serial_comm
