#pragma once

#include <string>
#include <string_view>

namespace serial_comm {

// A command line without its terminator: "AT" + name + separator + argument. The name keeps
// its leading "+". Forms: action makeCommand("+CGMM"); test makeCommand("+CPBS", "?", "=");
// read makeCommand("+CPBS", "?"); set makeCommand("+CSCS", quote("UCS2"), "=").
std::string makeCommand(std::string_view name, std::string_view argument = {},
                        std::string_view separator = {});

}  // namespace serial_comm
