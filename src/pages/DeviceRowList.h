#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceInfoEx.h"

// One row of the device list: the phone's device node, what column 0 shows (its model, after its
// maker for a phone of another maker) and what column 1 shows (its alias, or its IMEI when it
// has none; for a device of another maker not asked yet, a text that says so).
struct DeviceRow {
    std::uint32_t node = 0;
    std::u16string model;
    std::u16string alias;

    bool operator==(const DeviceRow&) const = default;
};

// The rows of the device list page and how they follow the device manager's list, without any
// widget: the page applies the edits a refresh returns to its list widget one by one.
//
// A refresh keeps the rows that still show a device as it is now (same node, model text and
// alias), removes every other row, then inserts a row for each device that has no row with its
// node and model text, at the device's position in the device list (or at the end). The row
// selected before stays selected when it is still there; otherwise the first row is; an empty
// list selects nothing.
class DeviceRowList {
public:
    struct Edit {
        enum class Kind { Remove, Insert };
        Kind kind = Kind::Remove;
        std::size_t position = 0;  // in the rows as they are when the edit is applied
        DeviceRow row;             // for Insert

        bool operator==(const Edit&) const = default;
    };

    struct Refresh {
        std::vector<Edit> edits;  // in the order they are to be applied
        std::optional<std::size_t> selection;
        bool rowRemoved = false;
    };

    // The alias of an IMEI, or the IMEI itself when there is none (AliasStore::aliasFor).
    using AliasLookup = std::function<std::u16string(const std::u16string& imei)>;

    // devices: the device manager's snapshot, and the devices of other makers when they are
    // shown (see OtherMakersDevices); unknownModel: what column 0 shows for a device without a
    // model; notAsked: what column 1 shows for a device of another maker not asked yet (cause
    // NotAsked); selected: the row selected now.
    Refresh refresh(const std::vector<DEVICE_INFO_EX>& devices, const AliasLookup& aliasFor,
                    const std::u16string& unknownModel, std::optional<std::size_t> selected,
                    const std::u16string& notAsked = {});

    const std::vector<DeviceRow>& rows() const { return rows_; }

private:
    std::vector<DeviceRow> rows_;
};
