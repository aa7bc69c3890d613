#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "export/OutputFormat.h"

// The command line of contaxio-cli, one subcommand with its options:
//
//   contaxio-cli list [--json] [--watch | --all]
//   contaxio-cli export [--port PATH] --output FILE [--storages me|sm|me,sm]
//                       [--layout google|outlook|vcard] [--quiet] [--trace FILE]
//   contaxio-cli probe [--port PATH] [--trace FILE]
//   contaxio-cli demo [--output FILE] [--layout google|outlook|vcard] [--quiet]
//                     [--trace FILE]
//   contaxio-cli [COMMAND] --help | --version
//
// Options may also be written --name=value. An option never takes another option as its value
// (--port --output x.csv: --port needs a value); a value that begins with "--" can be given as
// --name=value. export and probe without --port use the one phone that can be read (the
// commands find it). parse() never throws; a refused command line comes back with error set.
struct CliOptions {
    enum class Command { None, List, Export, Probe, Demo, Help, Version };

    Command command = Command::None;
    std::string port;  // export, probe; empty: the one phone that can be read
    // export (required; "-" is standard output), demo (default contacts.csv, or contacts.vcf
    // for vCard)
    std::string output;
    std::string trace;  // export, probe, demo: where the byte trace goes; empty: none
    // The storage kinds asked for, phone memory first; empty: what the phone offers.
    std::vector<StorageKind> storages;
    OutputFormat layout = OutputFormat::GoogleCsv;  // export, demo
    bool quiet = false;                             // export, demo: no progress display
    bool json = false;                              // list: JSON for scripts
    bool watch = false;                             // list: follow plug and unplug until stopped
    bool all = false;  // list: also the other makers' USB serial ports, none of them opened

    // Command::None: why the command line was refused, and the command it was for (None when
    // there was none), so that people can be pointed at the right --help.
    std::string error;
    Command errorCommand = Command::None;
    // Command::Help: the help text asked for.
    std::string help;

    static CliOptions parse(const std::vector<std::string>& arguments);

    // The help of the whole program (Command::None) or of one command.
    static std::string usage(Command command = Command::None);
    // The text of --version.
    static std::string version();
    // "list", "export", "probe", "demo"; empty for anything else.
    static std::string commandName(Command command);
};
