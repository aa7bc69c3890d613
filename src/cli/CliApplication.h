#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

// contaxio-cli as a whole: reads the command line, runs the command, and turns every outcome
// into an exit status (see ExitStatus.h); nothing escapes as an exception.
class CliApplication {
public:
    static int run(const std::vector<std::string>& arguments, Console& console);
};
