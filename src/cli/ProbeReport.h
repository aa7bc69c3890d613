#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/StorageKind.h"
#include "devices/DeviceState.h"

// What `contaxio-cli probe` prints about a phone:
//
//   Port:          /dev/ttyACM0
//   Model:         Z3
//   IMEI:          351234567890123
//   Support:       extended phonebook (level 5)
//   Charsets:      UCS2, UTF8, ASCII
//   Storages:      phone memory (ME), SIM (SM)
//
// The charsets and storages lines are left out when the phone was not asked for them. What
// came from outside (port, model, IMEI, charset names) is shown with control characters
// escaped.
class ProbeReport {
public:
    std::string port;
    std::string model;
    std::string imei;
    DeviceState state = DeviceState::Unsupported;
    bool queried = false;  // the charsets and storages below are known
    std::vector<std::string> charsets;
    std::vector<StorageKind> storages;

    std::string text() const;

    // "extended phonebook (level 5)", "standard phonebook (level 4)", "not supported (level 3)".
    static std::string supportText(DeviceState state);
    // "phone memory (ME), SIM (SM)"; "none" for an empty list.
    static std::string storagesText(const std::vector<StorageKind>& storages);
};
