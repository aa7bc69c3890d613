#pragma once

#include <string>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"

// `contaxio-cli probe`: tells what the phone on a port is (model, IMEI, support level) and,
// for a phone that can be read, the charsets and storages it offers. Success only for a phone
// that can be exported. port: empty for the one attached phone that can be read (see
// PhoneChoice). trace: the byte trace's file; empty: none.
class ProbeCommand {
public:
    static ExitStatus run(const std::string& port, const std::string& trace, Console& console,
                          const SignalWatcher& signals);
};
