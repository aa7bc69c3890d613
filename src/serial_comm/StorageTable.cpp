#include "serial_comm/StorageTable.h"

#include <array>
#include <utility>

namespace serial_comm {

namespace {

constexpr std::array<std::pair<std::string_view, StorageKind>, 2> kStorages{{
    {"ME", StorageKind::Memory},
    {"SM", StorageKind::Sim},
}};

}  // namespace

std::optional<StorageKind> storageKindOf(std::string_view name) {
    for (const auto& [storageName, kind] : kStorages) {
        if (storageName == name)
            return kind;
    }
    return std::nullopt;
}

std::optional<std::string> storageNameOf(StorageKind kind) {
    for (const auto& [storageName, storageKind] : kStorages) {
        if (storageKind == kind)
            return std::string(storageName);
    }
    return std::nullopt;
}

std::vector<StorageKind> storageKindsOf(const std::vector<std::string>& names) {
    std::vector<StorageKind> kinds;
    for (const std::string& name : names) {
        if (const auto kind = storageKindOf(name))
            kinds.push_back(*kind);
    }
    return kinds;
}

}  // namespace serial_comm
