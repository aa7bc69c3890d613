#pragma once

#include <string>
#include <vector>

// The command line of contaxio (after Qt has taken its own options):
//   contaxio [--demo] [--trace FILE] [-uninstall]
//   contaxio --help
// "-uninstall" removes the user's settings and ends without a window; "--demo" lists a
// simulated phone in the wizard; "--trace FILE" (or --trace=FILE) writes the byte trace of
// every phone the wizard talks to into FILE, as contaxio-cli --trace does. Anything else is a
// wrong command line.
struct WizardCommandLine {
    bool demo = false;
    bool help = false;
    bool uninstall = false;
    std::string trace;  // empty: no trace
    // Why the command line is wrong; empty when it is right.
    std::string error;

    static WizardCommandLine parse(const std::vector<std::string>& arguments);
    static const char* usage();
};
