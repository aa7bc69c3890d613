#include "serial_comm/CommandExchange.h"

#include "serial_comm/Modem.h"

namespace serial_comm {

std::uint32_t exchange(Modem& modem, const std::string& line, std::string& answer) {
    modem.sendCommand(line);
    return modem.readResponse(answer);
}

}  // namespace serial_comm
