#pragma once

#include <memory>
#include <string>

#include "cli/Console.h"
#include "session/TraceFile.h"

// The byte trace of a command's --trace FILE: begun before the command talks to a phone, and
// a failure on the way told once the command is done.
class CommandTrace {
public:
    // Nothing to do for an empty path. False (the person has been told) when the trace cannot
    // be begun; port: the one traced, empty for the phones the command finds.
    bool begin(const std::string& path, const std::string& port, Console& console);
    // Tells that the trace is incomplete when a write into it failed.
    void end(Console& console);

private:
    std::string path_;
    std::unique_ptr<TraceFile> file_;
};
