#include "serial_comm/AtCommand.h"

#include "serial_comm/AtProtocol.h"

namespace serial_comm {

std::string makeCommand(std::string_view name, std::string_view argument,
                        std::string_view separator) {
    std::string line;
    line.reserve(at::kCommandPrefix.size() + name.size() + separator.size() + argument.size());
    line.append(at::kCommandPrefix);
    line.append(name);
    line.append(separator);
    line.append(argument);
    return line;
}

}  // namespace serial_comm
