#include "cli/ExportTexts.h"

#include <algorithm>

#include "common/StorageKind.h"

std::string ExportTexts::storageName(StorageKind storageKind) {
    switch (storageKind) {
        case StorageKind::Memory:
            return "phone memory";
        case StorageKind::Sim:
            return "SIM";
        default:
            return "storage " + std::to_string(static_cast<std::int32_t>(storageKind));
    }
}

std::string ExportTexts::storageLabel(StorageKind storageKind) {
    std::string name = storageName(storageKind);
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

std::string ExportTexts::counted(std::int64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string ExportTexts::places(std::int32_t read, std::int32_t total) {
    const std::int32_t shownTotal = std::max<std::int32_t>(total, 0);
    const std::int32_t shownRead = std::clamp<std::int32_t>(read, 0, shownTotal);
    return std::to_string(shownRead) + " of " + counted(shownTotal, "place", "places") + " read";
}
