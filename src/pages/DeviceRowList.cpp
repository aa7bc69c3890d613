#include "pages/DeviceRowList.h"

#include <algorithm>

#include "serial_comm/IdentityAnswers.h"

DeviceRowList::Refresh DeviceRowList::refresh(const std::vector<DEVICE_INFO_EX>& devices,
                                              const AliasLookup& aliasFor,
                                              const std::u16string& unknownModel,
                                              std::optional<std::size_t> selected,
                                              const std::u16string& notAsked) {
    Refresh result;
    std::optional<std::uint32_t> selectedNode;
    if (selected && *selected < rows_.size()) {
        selectedNode = rows_[*selected].node;
    }

    // What each device's row shows now. A device without an IMEI (not a usable phone) has no
    // alias to look up.
    std::vector<DeviceRow> shown;
    shown.reserve(devices.size());
    for (const DEVICE_INFO_EX& device : devices) {
        const std::u16string name = serial_comm::phoneName(device.manufacturer, device.model);
        std::u16string column1;
        if (device.cause.kind == causes::Cause::NotAsked) {
            column1 = notAsked;
        } else if (!device.imei.empty()) {
            column1 = aliasFor(device.imei);
        }
        shown.push_back({device.device, name.empty() ? unknownModel : name, column1});
    }

    // Rows that no longer show a device as it is go, each row looked at once.
    for (std::size_t i = 0; i < rows_.size();) {
        if (std::find(shown.begin(), shown.end(), rows_[i]) != shown.end()) {
            ++i;
            continue;
        }
        result.edits.push_back({Edit::Kind::Remove, i, {}});
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
        result.rowRemoved = true;
    }

    // Devices without a row of their node and model get one, where they stand in the list.
    for (std::size_t p = 0; p < shown.size(); ++p) {
        const DeviceRow& wanted = shown[p];
        const bool present = std::any_of(rows_.begin(), rows_.end(), [&wanted](const DeviceRow& r) {
            return r.node == wanted.node && r.model == wanted.model;
        });
        if (present) {
            continue;
        }
        const std::size_t at = std::min(p, rows_.size());
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), wanted);
        result.edits.push_back({Edit::Kind::Insert, at, wanted});
    }

    if (selectedNode) {
        const auto again = std::find_if(rows_.begin(), rows_.end(), [&](const DeviceRow& r) {
            return r.node == *selectedNode;
        });
        if (again != rows_.end()) {
            result.selection = static_cast<std::size_t>(again - rows_.begin());
        }
    }
    if (!result.selection && !rows_.empty()) {
        result.selection = 0;
    }
    return result;
}
