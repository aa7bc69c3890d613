#pragma once

#include <string>
#include <vector>

#include "cli/ListedPhone.h"
#include "devices/DeviceState.h"
#include "devices/UsbSerialPort.h"

// What `contaxio-cli list` prints for people: a line per phone, and under a phone that cannot
// be read a hint with the way out,
//
//   extended phonebook: Z3, IMEI 351234567890123, alias "Work phone", port /dev/ttyACM0
//   no driver: unknown model, IMEI unknown, no port
//     hint: no driver serves it, so it has no modem port; load the modem driver ...
//
// or "No phone found; ..." when there is none. --watch prints the changes the same way after
// a word for what happened ("added   ", "removed ", "changed "). The alias is left out when the
// phone has none. What came from outside (port, model, IMEI, alias) is shown with control
// characters escaped.
class PhoneListText {
public:
    // "no driver", "other USB mode", "not supported", "standard phonebook", "extended
    // phonebook" ("not probed" for a modem not asked yet).
    static std::string stateWords(DeviceState state);

    // The phone's line, without its line end.
    static std::string line(const ListedPhone& phone);
    // The hint for a phone that cannot be read, without its line end; empty for one that can.
    static std::string hint(const ListedPhone& phone);

    // The whole listing, every line ended.
    static std::string listing(const std::vector<ListedPhone>& phones);
    // `list --all`: the listing, then the other makers' USB serial ports (OtherPortList::text).
    static std::string listing(const std::vector<ListedPhone>& phones,
                               const std::vector<UsbSerialPort>& others);
    // One change, with the hint when the phone now cannot be read; every line ended.
    static std::string change(const PhoneChange& change);

    static constexpr const char* kNoPhone =
        "No phone found; connect the phone by USB and switch it on.";
};
