#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"

class PhoneSession;

// `contaxio-cli export`: checks the output, finds the phone when no port is given (see
// PhoneChoice), probes the phone, opens it, asks for its charsets
// and storages, chooses the charset and the storages, exports, puts the file in place and
// prints the summary.
class ExportCommand {
public:
    struct Request {
        std::string port;                   // empty: the one attached phone that can be read
        std::string output;                 // "-" (or /dev/stdout): standard output
        std::vector<StorageKind> storages;  // empty: what the phone offers among ME and SM
        OutputFormat layout = OutputFormat::GoogleCsv;
        bool quiet = false;
        std::string trace;  // the byte trace's file; empty: none
    };

    static ExitStatus run(const Request& request, Console& console, const SignalWatcher& signals);

    // The storages to export: those asked for, or without a wish those offered among the
    // phone memory and the SIM, phone memory first. Empty when a storage asked for is not
    // offered (missing then names it) or when nothing is offered.
    static std::vector<StorageKind> chooseStorages(const std::vector<StorageKind>& wanted,
                                                   const std::vector<StorageKind>& offered,
                                                   StorageKind& missing);

    // Whether an output names standard output: "-", /dev/stdout, /dev/fd/1, /proc/self/fd/1.
    static bool isStandardOutput(const std::string& output);

private:
    // Everything from the probe to the summary.
    static ExitStatus exportFrom(PhoneSession& phone, const Request& request, bool toStandardOutput,
                                 Console& console, const SignalWatcher& signals);
};
