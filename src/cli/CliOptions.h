#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The command line of contaxio-cli:
//
//   contaxio-cli export --port PATH --output FILE [--storages me|sm|me,sm]
//                       [--layout google|outlook] [--quiet]
//   contaxio-cli probe --port PATH
//   contaxio-cli demo [--output FILE]
//   contaxio-cli --help | --version
//
// Options may also be written --name=value. parse() never throws; a refused command line comes
// back with error set.
struct CliOptions {
    enum class Command { None, Export, Probe, Demo, Help, Version };

    Command command = Command::None;
    std::string port;    // export, probe
    std::string output;  // export (required), demo (default: contacts.csv)
    // The storage kinds asked for, phone memory first; empty: what the phone offers.
    std::vector<std::int32_t> storages;
    std::int32_t layout = 1;  // an output_format code
    bool quiet = false;       // export: no progress display
    std::string error;        // why the command line was refused; empty when it was not

    static CliOptions parse(const std::vector<std::string>& arguments);

    // The text of --help, with the exit statuses.
    static std::string usage();
    // The text of --version.
    static std::string version();
};
