#include "cli/PhoneChoice.h"

#include <algorithm>
#include <chrono>

#include "charsets/TextCodec.h"
#include "cli/PhoneAliases.h"
#include "cli/PhoneSearch.h"
#include "devices/DeviceRoots.h"
#include "devices/DeviceTree.h"

PhoneChoice::Decision PhoneChoice::decide(const std::vector<ListedPhone>& phones,
                                          const std::vector<UsbSerialPort>& otherPorts) {
    Decision decision;
    std::vector<const ListedPhone*> usable;
    for (const ListedPhone& phone : phones) {
        if (canBeRead(phone.state)) {
            usable.push_back(&phone);
        }
    }
    if (usable.size() == 1) {
        decision.status = ExitStatus::Success;
        decision.port = usable.front()->port;
        decision.model = usable.front()->model;
        return decision;
    }
    if (usable.size() > 1) {
        std::vector<std::string> ports;
        for (const ListedPhone* phone : usable) {
            ports.push_back(phone->port);
        }
        decision.status = ExitStatus::Usage;
        decision.messages.push_back(UserMessages::severalPhones(ports));
        return decision;
    }
    decision.status = ExitStatus::PhoneUnusable;
    if (phones.empty()) {
        decision.messages.push_back(UserMessages::noPhoneAttached(!otherPorts.empty()));
    }
    for (const ListedPhone& phone : phones) {
        decision.messages.push_back(
            UserMessages::phoneCannotBeUsed(phone.port, phone.model, phone.state, phone.cause));
    }
    for (const UsbSerialPort& other : otherPorts) {
        UserMessages::Message note =
            UserMessages::phoneCannotBeUsed(text_codec::toUtf8(other.found.devicePath), "",
                                            DeviceState::Found, {causes::Cause::NotAsked});
        note.kind = UserMessages::Message::Kind::Note;
        decision.messages.push_back(note);
    }
    return decision;
}

ExitStatus PhoneChoice::choose(Console& console, const SignalWatcher& signals, std::string& port,
                               std::string& model) {
    const PhoneSearch::Result search = PhoneSearch::once(signals);
    switch (search.outcome) {
        case PhoneSearch::Outcome::Stopped:
            return ExitStatus::Cancelled;
        case PhoneSearch::Outcome::Unreadable:
            PhoneSearch::reportUnreadable(DeviceRoots::fromEnvironment(), console);
            return ExitStatus::PhoneUnusable;
        case PhoneSearch::Outcome::Incomplete:
            console.report(UserMessages::searchIncomplete(
                std::chrono::duration_cast<std::chrono::seconds>(PhoneSearch::kTimeLimit).count()));
            break;
        case PhoneSearch::Outcome::Done:
            break;
    }
    PhoneAliases aliases = PhoneAliases::fromSettings();
    const std::vector<ListedPhone> phones = ListedPhone::of(search.devices, aliases);
    const bool anyReadable =
        std::any_of(phones.begin(), phones.end(),
                    [](const ListedPhone& phone) { return canBeRead(phone.state); });
    // Other makers' ports matter only when no phone can be read; they are read from sysfs
    // alone, none of them opened.
    const Decision decision = decide(
        phones, anyReadable ? std::vector<UsbSerialPort>{}
                            : DeviceTree(DeviceRoots::fromEnvironment()).findOtherUsbSerialPorts());
    for (const UserMessages::Message& message : decision.messages) {
        console.report(message);
    }
    port = decision.port;
    model = decision.model;
    return decision.status;
}
