#pragma once

#include <string>
#include <vector>

#include "cli/ListedPhone.h"
#include "devices/DeviceState.h"
#include "devices/UsbSerialPort.h"

// What `contaxio-cli list --json` prints for scripts: an array with an object per phone,
//
//   [{"port": "/dev/ttyACM0", "state": 5, "state_name": "ExtendedPhonebook", "model": "Z3",
//     "imei": "351234567890123", "alias": "Work phone", "reason": "", "hint": ""}]
//
// port empty for a phone without a modem port; model and IMEI empty when unknown; alias the
// user's name for the phone, or the IMEI when there is none. reason is a stable word for why
// the phone cannot be read ("permission", "busy", "gone", "port-error", "silent",
// "refused-mode", "missing-commands", "no-driver", "other-mode", "sim-locked", "unknown"; "" for a
// phone that can be read), hint the sentence that says so with the way out (as `list` prints it).
// --watch
// --json prints JSON Lines: the listing's array on one line, then one object per change with
// "change" ("added", "removed", "changed") before the phone's keys. Text that is not valid UTF-8
// has its bad bytes replaced by U+FFFD, so the output is always valid JSON.
class PhoneListJson {
public:
    // "NoDriver", "OtherMode", "Unsupported", "StandardPhonebook", "ExtendedPhonebook"
    // ("Found" for a modem not probed yet).
    static std::string stateName(DeviceState state);

    // The array, indented for reading, or on one line; with a line end.
    static std::string listing(const std::vector<ListedPhone>& phones, bool oneLine = false);
    // `list --all`: the phones, each with "probed" (false for one not asked yet), then the
    // other makers' USB serial ports (OtherPortList::json); indented, with a line end.
    static std::string listing(const std::vector<ListedPhone>& phones,
                               const std::vector<UsbSerialPort>& others);
    // One change on one line, with a line end.
    static std::string change(const PhoneChange& change);
};
