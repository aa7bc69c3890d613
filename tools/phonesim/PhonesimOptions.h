#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace phonesim {

// The command line of contaxio-phonesim.
struct PhonesimOptions {
    enum class Action { Run, Check, Generate, List, Help };

    Action action = Action::Run;
    std::string scenarioFile;  // Run, Check
    std::string builtIn;       // Run: a built-in scenario instead of a file
    std::string link;          // Run: a symbolic link to the port, made and removed
    bool trace = false;        // Run: each command received goes to standard error
    std::size_t contacts = 0;  // Generate
    std::size_t simContacts = 0;
    bool extended = false;
    std::uint32_t seed = 1;
    std::string error;  // why the command line was refused; empty when it was not

    static PhonesimOptions parse(const std::vector<std::string>& arguments);
    static const char* usage();
};

}  // namespace phonesim
