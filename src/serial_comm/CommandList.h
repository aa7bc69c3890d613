#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace serial_comm {

// AT+CLAC, which asks the phone for the list of every command it supports.
std::string commandListCommand();

// Reads the answer to AT+CLAC: every non-empty line, in order, is appended to commands (the
// echoed command line too) until a line that is exactly "OK", which ends the list. True when
// that line came.
bool readCommandList(std::string_view answer, std::vector<std::string>& commands);

}  // namespace serial_comm
