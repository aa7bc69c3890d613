#include "cli/ListedPhone.h"

#include <map>

#include "charsets/TextCodec.h"
#include "cli/PhoneAliases.h"
#include "devices/DeviceCause.h"

causes::PhoneCause ListedPhone::why() const {
    return deviceCause(state, !model.empty(), cause);
}

std::vector<ListedPhone> ListedPhone::of(const std::vector<DEVICE_INFO_EX>& devices,
                                         PhoneAliases& aliases) {
    std::vector<ListedPhone> phones;
    phones.reserve(devices.size());
    for (const DEVICE_INFO_EX& device : devices) {
        ListedPhone phone;
        phone.key = device.rootDevice != 0 ? device.rootDevice : device.device;
        phone.port = text_codec::toUtf8(device.devicePath);
        phone.state = device.state;
        phone.model = text_codec::toUtf8(device.model);
        phone.imei = text_codec::toUtf8(device.imei);
        phone.alias = aliases.aliasFor(phone.imei);
        phone.cause = deviceCause(device);
        phones.push_back(std::move(phone));
    }
    return phones;
}

std::vector<PhoneChange> PhoneChange::between(const std::vector<ListedPhone>& before,
                                              const std::vector<ListedPhone>& after) {
    std::map<std::uint32_t, const ListedPhone*> earlier;
    std::map<std::uint32_t, const ListedPhone*> now;
    for (const ListedPhone& phone : before) {
        earlier.emplace(phone.key, &phone);
    }
    for (const ListedPhone& phone : after) {
        now.emplace(phone.key, &phone);
    }
    std::vector<PhoneChange> changes;
    for (const auto& [key, phone] : earlier) {
        if (!now.contains(key)) {
            changes.push_back({Kind::Removed, *phone});
        }
    }
    for (const auto& [key, phone] : now) {
        const auto was = earlier.find(key);
        if (was == earlier.end()) {
            changes.push_back({Kind::Added, *phone});
        } else if (!(*was->second == *phone)) {
            changes.push_back({Kind::Changed, *phone});
        }
    }
    return changes;
}
