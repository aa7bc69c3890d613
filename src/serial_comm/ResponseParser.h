#pragma once

#include <string_view>

namespace serial_comm {

class ParseResponseSink;

// Cuts a whole answer into lines and feeds sink. A line "<name>: v1,v2,..." whose prefix (the
// text before its first ':') equals name exactly gives beginLine, one onValue per value and
// endLine; lines with another prefix are ignored. A line without ':' that is exactly "OK" or
// "ERROR" gives onResult; the echoed command and any other line are ignored. Never fails.
void parseResponse(ParseResponseSink& sink, std::string_view answer, std::string_view name);

}  // namespace serial_comm
