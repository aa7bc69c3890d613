#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ListedPhone.h"
#include "cli/SignalWatcher.h"
#include "cli/UserMessages.h"
#include "devices/UsbSerialPort.h"

// The phone that export and probe use when no --port is given: the one attached phone that
// can be read, as `contaxio-cli list` shows it.
class PhoneChoice {
public:
    struct Decision {
        // Success with the phone's port; PhoneUnusable when no phone can be read (none is
        // attached, or none of those attached can be read); Usage when several can, as --port
        // must then say which.
        ExitStatus status = ExitStatus::PhoneUnusable;
        std::string port;
        std::string model;
        // What to tell: the reason for each phone that cannot be read, or the ports to choose
        // from; nothing on success.
        std::vector<UserMessages::Message> messages;
    };

    // The decision on a listing. When no phone can be read, each of otherPorts (the serial
    // ports of other makers' USB devices, never opened by the search) is named too, with how to
    // ask it: the person's phone may be one of them.
    static Decision decide(const std::vector<ListedPhone>& phones,
                           const std::vector<UsbSerialPort>& otherPorts = {});

    // Searches the phones attached and decides; tells the person why when no phone can be used.
    // On success port and model are the chosen phone's.
    static ExitStatus choose(Console& console, const SignalWatcher& signals, std::string& port,
                             std::string& model);
};
