#include "serial_comm/StorageTable.h"

#include <array>
#include <utility>

#include "common/StorageKind.h"

namespace serial_comm {

namespace {

constexpr std::array<std::pair<std::string_view, std::int32_t>, 2> kStorages{{
    {"ME", storage_kind::Memory},
    {"SM", storage_kind::Sim},
}};

}  // namespace

std::optional<std::int32_t> storageKindOf(std::string_view name) {
    for (const auto& [storageName, kind] : kStorages) {
        if (storageName == name)
            return kind;
    }
    return std::nullopt;
}

std::optional<std::string> storageNameOf(std::int32_t kind) {
    for (const auto& [storageName, storageKind] : kStorages) {
        if (storageKind == kind)
            return std::string(storageName);
    }
    return std::nullopt;
}

std::vector<std::int32_t> storageKindsOf(const std::vector<std::string>& names) {
    std::vector<std::int32_t> kinds;
    for (const std::string& name : names) {
        if (const auto kind = storageKindOf(name))
            kinds.push_back(*kind);
    }
    return kinds;
}

}  // namespace serial_comm
