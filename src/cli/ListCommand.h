#pragma once

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"

// `contaxio-cli list`: searches the maker's phones attached (probing their modems) and prints
// one line per phone with a hint for each that cannot be read (see PhoneListText), or JSON for
// scripts (see PhoneListJson). With watch it then follows plug and unplug, through the
// kernel's device events when the devices are the system's own and through an enumeration
// every three seconds in any case, printing each change until a stop signal (Cancelled).
// Success when the devices could be read, also with no phone; PhoneUnusable when they could
// not. all (without watch): the other makers' USB serial ports follow the phones, none of them
// opened (see OtherPortList).
class ListCommand {
public:
    static ExitStatus run(bool json, bool watch, bool all, Console& console,
                          const SignalWatcher& signals);
};
