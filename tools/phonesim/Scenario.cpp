#include "phonesim/Scenario.h"

#include <algorithm>

namespace phonesim {
namespace {

struct TypeKey {
    int type;
    std::string_view key;
};

constexpr TypeKey kTypeKeys[] = {
    {0, "phone.work"},    {1, "phone.home"},    {2, "phone.main"},     {3, "phone.mobile"},
    {4, "phone.fax"},     {5, "phone.pager"},   {6, "email.alt"},      {7, "email"},
    {8, "phone.other"},   {12, "email.home"},   {13, "email.work"},    {14, "email.other"},
    {15, "address.home"}, {16, "address.work"}, {17, "address.other"}, {18, "web"},
    {19, "web.alt"},
};

}  // namespace

ItemClass classOfType(int type) {
    if ((type >= 0 && type <= 5) || (type >= 8 && type <= 11)) {
        return ItemClass::Phone;
    }
    if (type == 6 || type == 7 || (type >= 12 && type <= 14)) {
        return ItemClass::Email;
    }
    if (type >= 15 && type <= 17) {
        return ItemClass::Address;
    }
    if (type == 18 || type == 19) {
        return ItemClass::Website;
    }
    return ItemClass::Unknown;
}

std::string_view keyOfType(int type) {
    for (const TypeKey& entry : kTypeKeys) {
        if (entry.type == type) {
            return entry.key;
        }
    }
    return {};
}

int typeOfKey(std::string_view key) {
    for (const TypeKey& entry : kTypeKeys) {
        if (entry.key == key) {
            return entry.type;
        }
    }
    return -1;
}

std::u16string Contact::displayName() const {
    if (givenName.empty()) {
        return familyName;
    }
    if (familyName.empty()) {
        return givenName;
    }
    return givenName + u" " + familyName;
}

const Item* Contact::standardItem() const {
    for (const Item& item : items) {
        const ItemClass itemClass = classOfType(item.type);
        if (itemClass == ItemClass::Phone || itemClass == ItemClass::Email) {
            return &item;
        }
    }
    return nullptr;
}

bool Contact::hasPostalAddress() const {
    return std::any_of(postal.begin(), postal.end(),
                       [](const std::u16string& part) { return !part.empty(); });
}

const Storage* Scenario::storage(std::string_view name) const {
    for (const Storage& candidate : storages) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

Storage* Scenario::storage(std::string_view name) {
    for (Storage& candidate : storages) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

std::string Scenario::initialCharset() const {
    if (!phone.charset.empty()) {
        return phone.charset;
    }
    return phone.charsets.empty() ? std::string("ASCII") : phone.charsets.front();
}

std::vector<std::string> Scenario::commandList() const {
    if (!phone.commandList.empty()) {
        return phone.commandList;
    }
    std::vector<std::string> commands{"AT+CGMI", "AT+CGMM", "AT+CGMR", "AT+CGSN", "AT+CLAC",
                                      "AT+CMEE", "AT+CPBR", "AT+CPBS", "AT+CSCS"};
    if (!phone.sim.empty()) {
        commands.insert(commands.begin() + 8, "AT+CPIN");
    }
    if (phone.modeCommand) {
        commands.push_back("AT+MODE");
    }
    if (phone.extended) {
        commands.push_back("AT+MPBRE");
        commands.push_back("AT+MPGR");
    }
    for (const char* basic : {"ATE", "ATI", "ATZ"}) {
        commands.push_back(basic);
    }
    return commands;
}

std::size_t Scenario::contactCount() const {
    std::size_t count = 0;
    for (const Storage& each : storages) {
        count += each.contacts.size();
    }
    return count;
}

}  // namespace phonesim
