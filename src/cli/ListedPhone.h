#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "causes/Cause.h"
#include "devices/DeviceInfoEx.h"
#include "devices/DeviceState.h"

class PhoneAliases;

// One phone as `contaxio-cli list` shows it: what the device list holds of it, in UTF-8, with
// its alias.
struct ListedPhone {
    // The same physical phone in every listing of one run: its root device (its own device
    // node when it has none).
    std::uint32_t key = 0;
    std::string port;  // the modem's port; empty when the phone shows no modem
    DeviceState state = DeviceState::Found;
    std::string model;  // empty: unknown
    std::string imei;   // empty: unknown
    std::string alias;  // the user's name for the phone, or the IMEI when it has none
    // Why the phone cannot be read, as the probe found it (kind None when it can be read).
    causes::PhoneCause cause;

    // Why the phone cannot be read: its cause, or what its state tells (see deviceCause); kind
    // None for a phone that can be read.
    causes::PhoneCause why() const;

    bool operator==(const ListedPhone&) const = default;

    // The entries of a device list (one per phone) with their aliases, in the list's order.
    static std::vector<ListedPhone> of(const std::vector<DEVICE_INFO_EX>& devices,
                                       PhoneAliases& aliases);
};

// What changed between two listings of one run, for `list --watch`.
struct PhoneChange {
    enum class Kind { Added, Removed, Changed };
    Kind kind = Kind::Added;
    // The phone as it is now; for a removed phone, as it was last.
    ListedPhone phone;

    bool operator==(const PhoneChange&) const = default;

    // The phones that went (first), then those that came or changed, each group in key order.
    // Phones are matched by their key, so that a phone whose modem took the place of its USB
    // device (or the other way round) counts as changed, not as gone and come.
    static std::vector<PhoneChange> between(const std::vector<ListedPhone>& before,
                                            const std::vector<ListedPhone>& after);
};
