#pragma once

#include <string>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"
#include "export/OutputFormat.h"

// `contaxio-cli demo`: starts the built-in simulated phone of the demo and exports its
// contacts into a file in the layout given, so that the whole path can be seen working without
// a phone.
class DemoCommand {
public:
    static ExitStatus run(const std::string& output, OutputFormat layout, bool quiet,
                          const std::string& trace, Console& console, const SignalWatcher& signals);
};
