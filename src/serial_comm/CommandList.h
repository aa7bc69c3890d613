#pragma once

#include <optional>
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

// The commands an answer to AT+CLAC lists, read in every layout phones send: one name a line
// (with or without "AT" in front, lines ending CR LF or CR CR LF), or one "+CLAC:" line of
// names separated by commas. Each name is given upper case without its "AT" ("+CPBR", "&C",
// "E"); the echo, blank lines and the result line are left out. Nothing when the answer does
// not end in OK or lists no command at all: the phone did not tell what it supports.
std::optional<std::vector<std::string>> readSupportedCommands(std::string_view answer);

// Whether commands (as readSupportedCommands() gives them) holds name, e.g. "+CPBR".
bool listsCommand(const std::vector<std::string>& commands, std::string_view name);

}  // namespace serial_comm
