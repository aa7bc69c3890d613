#include "cli/PhoneListText.h"

#include "charsets/ShownText.h"
#include "cli/OtherPortList.h"
#include "cli/UserMessages.h"

std::string PhoneListText::stateWords(DeviceState state) {
    switch (state) {
        case DeviceState::Found:
            return "not probed";
        case DeviceState::NoDriver:
            return "no driver";
        case DeviceState::OtherMode:
            return "other USB mode";
        case DeviceState::Unsupported:
            return "not supported";
        case DeviceState::StandardPhonebook:
            return "standard phonebook";
        case DeviceState::ExtendedPhonebook:
            return "extended phonebook";
    }
    return "not supported";
}

std::string PhoneListText::line(const ListedPhone& phone) {
    std::string text = stateWords(phone.state) + ": ";
    text += phone.model.empty() ? std::string("unknown model") : shownText(phone.model);
    text += ", IMEI " + (phone.imei.empty() ? std::string("unknown") : shownText(phone.imei));
    if (!phone.alias.empty() && phone.alias != phone.imei) {
        text += ", alias \"" + shownText(phone.alias) + "\"";
    }
    text += phone.port.empty() ? std::string(", no port") : ", port " + shownText(phone.port);
    return text;
}

std::string PhoneListText::hint(const ListedPhone& phone) {
    if (canBeRead(phone.state)) {
        return {};
    }
    const UserMessages::Message why =
        UserMessages::phoneCannotBeUsed(phone.port, phone.model, phone.state, phone.cause);
    return "  hint: " + shownText(why.causeAndWayOut());
}

std::string PhoneListText::listing(const std::vector<ListedPhone>& phones) {
    if (phones.empty()) {
        return std::string(kNoPhone) + "\n";
    }
    std::string text;
    for (const ListedPhone& phone : phones) {
        text += line(phone) + "\n";
        if (const std::string why = hint(phone); !why.empty()) {
            text += why + "\n";
        }
    }
    return text;
}

std::string PhoneListText::listing(const std::vector<ListedPhone>& phones,
                                   const std::vector<UsbSerialPort>& others) {
    std::string text = listing(phones);
    for (const UsbSerialPort& port : others) {
        text += OtherPortList::text(port);
    }
    return text;
}

std::string PhoneListText::change(const PhoneChange& change) {
    std::string word;
    switch (change.kind) {
        case PhoneChange::Kind::Added:
            word = "added   ";
            break;
        case PhoneChange::Kind::Removed:
            word = "removed ";
            break;
        case PhoneChange::Kind::Changed:
            word = "changed ";
            break;
    }
    std::string text = word + line(change.phone) + "\n";
    if (change.kind != PhoneChange::Kind::Removed) {
        if (const std::string why = hint(change.phone); !why.empty()) {
            text += why + "\n";
        }
    }
    return text;
}
