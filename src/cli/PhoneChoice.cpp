#include "cli/PhoneChoice.h"

#include <chrono>

#include "cli/PhoneAliases.h"
#include "cli/PhoneSearch.h"
#include "devices/DeviceRoots.h"

PhoneChoice::Decision PhoneChoice::decide(const std::vector<ListedPhone>& phones) {
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
        decision.messages.push_back(UserMessages::noPhoneAttached());
    }
    for (const ListedPhone& phone : phones) {
        decision.messages.push_back(
            UserMessages::phoneCannotBeUsed(phone.port, phone.model, phone.state, phone.cause));
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
    const Decision decision = decide(ListedPhone::of(search.devices, aliases));
    for (const UserMessages::Message& message : decision.messages) {
        console.report(message);
    }
    port = decision.port;
    model = decision.model;
    return decision.status;
}
