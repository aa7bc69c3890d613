#include "devices/DeviceRoots.h"

#include <cstdlib>

namespace {

void takeFromEnvironment(const char* variable, std::filesystem::path& root) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0')
        root = value;
}

}  // namespace

DeviceRoots DeviceRoots::fromEnvironment() {
    DeviceRoots roots;
    takeFromEnvironment("CONTAXIO_SYSFS_ROOT", roots.sysfs);
    takeFromEnvironment("CONTAXIO_DEV_ROOT", roots.dev);
    return roots;
}
