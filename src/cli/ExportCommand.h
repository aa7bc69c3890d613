#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"

// `contaxio-cli export`: probes the phone, opens it, asks for its charsets and storages,
// chooses the charset and the storages, exports, and prints the summary.
class ExportCommand {
public:
    struct Request {
        std::string port;
        std::string output;
        std::vector<std::int32_t> storages;  // empty: what the phone offers among ME and SM
        std::int32_t layout = 1;
        bool quiet = false;
    };

    static ExitStatus run(const Request& request, Console& console, const SignalWatcher& signals);

    // The storages to export: those asked for, or without a wish those offered among the
    // phone memory and the SIM, phone memory first. Empty when a storage asked for is not
    // offered (missing then names it) or when nothing is offered.
    static std::vector<std::int32_t> chooseStorages(const std::vector<std::int32_t>& wanted,
                                                    const std::vector<std::int32_t>& offered,
                                                    std::int32_t& missing);
};
