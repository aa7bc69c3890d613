#include "cli/OtherPortList.h"

#include "causes/CauseTable.h"
#include "charsets/ShownText.h"
#include "charsets/TextCodec.h"
#include "cli/PhoneListJson.h"
#include "cli/PhoneListText.h"
#include "cli/UserMessages.h"

namespace {

using Json = nlohmann::ordered_json;

std::string utf8(const std::u16string& text) {
    return text_codec::toUtf8(text);
}

// Why the port is listed without being opened, and how to ask it.
UserMessages::Message notAsked(const UsbSerialPort& port) {
    return UserMessages::phoneCannotBeUsed(utf8(port.found.devicePath), "", DeviceState::Found,
                                           {causes::Cause::NotAsked});
}

}  // namespace

std::string OtherPortList::text(const UsbSerialPort& port) {
    std::string name = utf8(port.manufacturer);
    if (!port.product.empty()) {
        name += (name.empty() ? "" : " ") + utf8(port.product);
    }
    std::string line = PhoneListText::stateWords(DeviceState::Found) + ": " +
                       (name.empty() ? std::string("unknown device") : shownText(name));
    line += ", USB " + shownText(utf8(port.vendorId)) + ":" + shownText(utf8(port.productId));
    if (!port.serial.empty()) {
        line += ", serial " + shownText(utf8(port.serial));
    }
    if (!port.driver.empty()) {
        line += ", driver " + shownText(utf8(port.driver));
    }
    line += ", USB port " + shownText(utf8(port.usbPort));
    line += ", port " + shownText(utf8(port.found.devicePath));
    return line + "\n  hint: " + shownText(notAsked(port).causeAndWayOut()) + "\n";
}

nlohmann::ordered_json OtherPortList::json(const UsbSerialPort& port) {
    Json object = Json::object();
    object["port"] = utf8(port.found.devicePath);
    object["state"] = static_cast<int>(DeviceState::Found);
    object["state_name"] = PhoneListJson::stateName(DeviceState::Found);
    object["model"] = "";
    object["imei"] = "";
    object["alias"] = "";
    object["reason"] = causes::entryOf(causes::Cause::NotAsked).reason;
    object["hint"] = notAsked(port).causeAndWayOut();
    object["probed"] = false;
    Json usb = Json::object();
    usb["vendor_id"] = utf8(port.vendorId);
    usb["product_id"] = utf8(port.productId);
    usb["manufacturer"] = utf8(port.manufacturer);
    usb["product"] = utf8(port.product);
    usb["serial"] = utf8(port.serial);
    usb["driver"] = utf8(port.driver);
    usb["usb_port"] = utf8(port.usbPort);
    usb["interface"] = utf8(port.interfaceNumber);
    object["usb"] = std::move(usb);
    return object;
}
