#pragma once

#include <filesystem>

// Where the device layer looks: the sysfs tree (devices, classes and buses) and the folder of
// device nodes. /sys and /dev on a running system; CONTAXIO_SYSFS_ROOT and CONTAXIO_DEV_ROOT
// point every executable at another tree instead (the tests, the demo, diagnosis of a user's
// tree copied elsewhere).
struct DeviceRoots {
    std::filesystem::path sysfs = "/sys";
    std::filesystem::path dev = "/dev";

    // The roots the environment asks for; an unset or empty variable keeps the default.
    static DeviceRoots fromEnvironment();
};
