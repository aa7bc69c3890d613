#include "pages/OtherMakersDevices.h"

#include "devices/PhoneProbe.h"
#include "serial_comm/SerialPortException.h"

void OtherMakersDevices::follow(const std::vector<UsbSerialPort>& ports) {
    std::map<std::uint32_t, Entry> now;
    order_.clear();
    for (const UsbSerialPort& port : ports) {
        const std::uint32_t node = port.found.device;
        Entry entry{port, std::nullopt};
        const auto before = entries_.find(node);
        if (before != entries_.end() && before->second.port == port) {
            entry.asked = before->second.asked;
        }
        if (now.emplace(node, std::move(entry)).second) {
            order_.push_back(node);
        }
    }
    entries_ = std::move(now);
}

DEVICE_INFO_EX OtherMakersDevices::shown(const Entry& entry) const {
    if (!entry.asked) {
        DEVICE_INFO_EX record = entry.port.found;
        record.state = DeviceState::Found;
        record.manufacturer = entry.port.manufacturer;
        record.model = entry.port.product;
        record.cause = {causes::Cause::NotAsked};
        return record;
    }
    DEVICE_INFO_EX record = *entry.asked;
    if (record.manufacturer.empty() && record.model.empty()) {
        record.manufacturer = entry.port.manufacturer;
        record.model = entry.port.product;
    }
    return record;
}

std::vector<DEVICE_INFO_EX> OtherMakersDevices::devices() const {
    std::vector<DEVICE_INFO_EX> records;
    records.reserve(order_.size());
    for (const std::uint32_t node : order_) {
        records.push_back(shown(entries_.at(node)));
    }
    return records;
}

bool OtherMakersDevices::contains(std::uint32_t node) const {
    return entries_.contains(node);
}

std::optional<DEVICE_INFO_EX> OtherMakersDevices::ask(std::uint32_t node) {
    const auto found = entries_.find(node);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    Entry& entry = found->second;
    DEVICE_INFO_EX result = entry.port.found;
    try {
        probeAskedPort(entry.port.found, result);
    } catch (const serial_comm::SerialPortException&) {
        // The port could not be had, or failed on the way: result holds the cause.
        result.state = DeviceState::Unsupported;
    }
    entry.asked = result;
    return shown(entry);
}
