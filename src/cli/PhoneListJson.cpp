#include "cli/PhoneListJson.h"

#include <nlohmann/json.hpp>

#include "causes/CauseTable.h"
#include "cli/OtherPortList.h"
#include "cli/UserMessages.h"
#include "devices/DeviceState.h"

namespace {

using Json = nlohmann::ordered_json;

Json objectOf(const ListedPhone& phone) {
    Json object = Json::object();
    object["port"] = phone.port;
    object["state"] = static_cast<int>(phone.state);
    object["state_name"] = PhoneListJson::stateName(phone.state);
    object["model"] = phone.model;
    object["imei"] = phone.imei;
    object["alias"] = phone.alias;
    object["reason"] = causes::entryOf(phone.why().kind).reason;
    object["hint"] = canBeRead(phone.state) ? std::string()
                                            : UserMessages::phoneCannotBeUsed(
                                                  phone.port, phone.model, phone.state, phone.cause)
                                                  .causeAndWayOut();
    return object;
}

// Never throws for text that is not UTF-8 (a phone's or a file's bytes): they become U+FFFD.
std::string dumped(const Json& value, int indent) {
    return value.dump(indent, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string PhoneListJson::stateName(DeviceState state) {
    switch (state) {
        case DeviceState::Found:
            return "Found";
        case DeviceState::NoDriver:
            return "NoDriver";
        case DeviceState::OtherMode:
            return "OtherMode";
        case DeviceState::Unsupported:
            return "Unsupported";
        case DeviceState::StandardPhonebook:
            return "StandardPhonebook";
        case DeviceState::ExtendedPhonebook:
            return "ExtendedPhonebook";
    }
    return "Unsupported";
}

std::string PhoneListJson::listing(const std::vector<ListedPhone>& phones, bool oneLine) {
    Json array = Json::array();
    for (const ListedPhone& phone : phones) {
        array.push_back(objectOf(phone));
    }
    return dumped(array, oneLine ? -1 : 2);
}

std::string PhoneListJson::listing(const std::vector<ListedPhone>& phones,
                                   const std::vector<UsbSerialPort>& others) {
    Json array = Json::array();
    for (const ListedPhone& phone : phones) {
        Json object = objectOf(phone);
        object["probed"] = phone.state != DeviceState::Found;
        array.push_back(std::move(object));
    }
    for (const UsbSerialPort& port : others) {
        array.push_back(OtherPortList::json(port));
    }
    return dumped(array, 2);
}

std::string PhoneListJson::change(const PhoneChange& change) {
    Json object = Json::object();
    switch (change.kind) {
        case PhoneChange::Kind::Added:
            object["change"] = "added";
            break;
        case PhoneChange::Kind::Removed:
            object["change"] = "removed";
            break;
        case PhoneChange::Kind::Changed:
            object["change"] = "changed";
            break;
    }
    const Json phone = objectOf(change.phone);
    for (const auto& [key, value] : phone.items()) {
        object[key] = value;
    }
    return dumped(object, -1);
}
