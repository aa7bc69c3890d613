#include "SoakFault.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace soak {

namespace {

using Role = PlannedCommand::Role;
using Kind = SoakFault::Kind;

int below(std::mt19937_64& random, int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random);
}

// Lines a phone or the line sends unasked: result codes, status reports, line noise. None holds
// "OK", "ERROR" or a phonebook prefix, none starts with an echo.
constexpr std::array<std::string_view, 9> kGarbage{
    "RING",       "+CREG: 1",   "+CMTI: \"SM\",3",    "+CSQ: 17,99",      "^SYSSTART",
    "NO CARRIER", "+CIEV: 2,5", "\x7f\x01#junk 12,3", "\xc3\xa9t\xc3\xa9"};

std::string randomGarbage(std::mt19937_64& random) {
    static constexpr std::string_view kBytes = "abcdefghijklmnopqrstuvwxyz0123456789 ,;#:=\"()";
    std::string text;
    const int size = 1 + below(random, 30);
    for (int i = 0; i < size; ++i)
        text += kBytes[static_cast<std::size_t>(below(random, static_cast<int>(kBytes.size())))];
    return text;
}

const PlannedCommand& pick(std::mt19937_64& random, const std::vector<PlannedCommand>& plan,
                           std::initializer_list<Role> roles) {
    std::vector<const PlannedCommand*> candidates;
    for (const PlannedCommand& command : plan) {
        if (roles.size() == 0 || std::find(roles.begin(), roles.end(), command.role) != roles.end())
            candidates.push_back(&command);
    }
    return *candidates[static_cast<std::size_t>(
        below(random, static_cast<int>(candidates.size())))];
}

// The first time the line is sent: the simulator plays a fault on the first command that matches.
const PlannedCommand& firstSent(const std::vector<PlannedCommand>& plan, const std::string& line) {
    return *std::find_if(plan.begin(), plan.end(),
                         [&line](const PlannedCommand& command) { return command.line == line; });
}

}  // namespace

SoakFault SoakFault::draw(std::mt19937_64& random, const std::vector<PlannedCommand>& plan,
                          bool writesRows, bool quick) {
    SoakFault fault;
    // Weights of None, Unplug, StallBelow, StallAbove, ErrorAnswer, Garbage, DiskFullRetry and
    // DiskFullAbort; stalls beyond the silence take seconds each, so they come less often.
    const std::array<int, 8> weights{12, 20, 14, quick ? 5 : 8, 16, 14, 8, 8};
    std::discrete_distribution<int> kinds(weights.begin(), weights.end());
    fault.kind = static_cast<Kind>(kinds(random));
    if ((fault.kind == Kind::DiskFullRetry || fault.kind == Kind::DiskFullAbort) && !writesRows)
        fault.kind = Kind::None;  // nothing to write, nothing to fail

    switch (fault.kind) {
        case Kind::None:
            break;
        case Kind::Unplug:
            fault.command = pick(random, plan, {}).line;
            break;
        case Kind::StallBelow:
            fault.command = pick(random, plan, {}).line;
            // Mostly short; now and then close to the silence, leaving room for a busy machine.
            fault.stall = std::chrono::milliseconds(below(random, 5) == 0
                                                        ? (quick ? 1000 : 1500)
                                                        : 20 + below(random, quick ? 300 : 800));
            break;
        case Kind::StallAbove:
            fault.command = pick(random, plan, {}).line;
            fault.stall = std::chrono::milliseconds(3000);
            break;
        case Kind::ErrorAnswer:
            fault.command =
                pick(random, plan,
                     {Role::Fill, Role::GroupRange, Role::GroupRead, Role::IndexRange, Role::Block})
                    .line;
            break;
        case Kind::Garbage:
            fault.every = 1 + below(random, 4);
            fault.garbage = below(random, 3) == 0
                                ? randomGarbage(random)
                                : std::string(kGarbage[static_cast<std::size_t>(
                                      below(random, static_cast<int>(kGarbage.size())))]);
            break;
        case Kind::DiskFullRetry:
        case Kind::DiskFullAbort:
            fault.fileShare = std::uniform_real_distribution<double>(0, 1)(random);
            break;
    }
    return fault;
}

const char* SoakFault::name(Kind kind) {
    switch (kind) {
        case Kind::None:
            return "none";
        case Kind::Unplug:
            return "unplug";
        case Kind::StallBelow:
            return "stall below 2 s";
        case Kind::StallAbove:
            return "stall above 2 s";
        case Kind::ErrorAnswer:
            return "ERROR answer";
        case Kind::Garbage:
            return "garbage lines";
        case Kind::DiskFullRetry:
            return "full disk, retry";
        case Kind::DiskFullAbort:
            return "full disk, abort";
    }
    return "?";
}

std::string SoakFault::describe() const {
    std::string text = name(kind);
    if (!command.empty())
        text += " at " + command;
    if (stall.count() > 0)
        text += " for " + std::to_string(stall.count()) + " ms";
    if (kind == Kind::Garbage)
        text += " \"" + garbage + "\" after every " + std::to_string(every) + " answers";
    if (kind == Kind::DiskFullRetry || kind == Kind::DiskFullAbort)
        text += " at " + std::to_string(static_cast<int>(fileShare * 100)) + "% of the file" +
                (fileLimit ? ", " + std::to_string(*fileLimit) + " bytes" : "");
    return text;
}

ExpectedOutcome expectOutcome(const SoakPhone& phone, const std::vector<PlannedCommand>& plan,
                              const SoakFault& fault) {
    const std::size_t storages = phone.exported.size();
    std::vector<std::vector<ExpectedContact>> contacts;
    for (const SoakStorage& storage : phone.exported)
        contacts.push_back(storage.contacts);
    std::vector<ExportResult> results(storages, ExportResult::Completed);

    // The storage that fails, and the contacts it keeps: those before the block that failed.
    const auto failAt = [&](const PlannedCommand& command, ExportResult result) {
        auto& kept = contacts[static_cast<std::size_t>(command.storage)];
        if (command.role != Role::Block) {
            kept.clear();
        } else {
            std::erase_if(kept, [&](const ExpectedContact& contact) {
                return contact.index >= command.blockFirst;
            });
        }
        results[static_cast<std::size_t>(command.storage)] = result;
    };

    switch (fault.kind) {
        case Kind::None:
        case Kind::StallBelow:
        case Kind::Garbage:
        case Kind::DiskFullRetry:
        case Kind::DiskFullAbort:
            break;
        case Kind::Unplug: {
            // The storage the phone goes away in ends with what came before; every later one
            // finds the phone gone at its first command.
            const PlannedCommand& command = firstSent(plan, fault.command);
            failAt(command, ExportResult::Disconnected);
            for (std::size_t s = static_cast<std::size_t>(command.storage) + 1; s < storages; ++s) {
                contacts[s].clear();
                results[s] = ExportResult::Disconnected;
            }
            break;
        }
        case Kind::StallAbove: {
            // An answer that comes too late counts as none: the storage fails (a selection is
            // tried again and succeeds; the charset's answer is not needed). The late answer
            // must not be taken for the answer to a later command.
            const PlannedCommand& command = firstSent(plan, fault.command);
            if (command.role != Role::SetCharset && command.role != Role::Select)
                failAt(command, ExportResult::Failed);
            break;
        }
        case Kind::ErrorAnswer:
            for (const PlannedCommand& command : plan) {
                if (command.line != fault.command)
                    continue;
                auto& kept = contacts[static_cast<std::size_t>(command.storage)];
                switch (command.role) {
                    case Role::GroupRange:
                    case Role::GroupRead:
                        // No group names: every contact stays in the default group.
                        for (ExpectedContact& contact : kept)
                            contact.group = u"General";
                        break;
                    case Role::IndexRange:
                        failAt(command, ExportResult::Failed);
                        break;
                    case Role::Block:
                        // The block's contacts are not read; the export goes on.
                        std::erase_if(kept, [&](const ExpectedContact& contact) {
                            return contact.index >= command.blockFirst &&
                                   contact.index <= command.blockLast;
                        });
                        break;
                    default:
                        break;  // the fill only feeds the progress
                }
            }
            break;
    }

    ExpectedOutcome outcome;
    outcome.results = results;
    for (std::size_t s = 0; s < storages; ++s) {
        for (const ExpectedContact& contact : contacts[s]) {
            outcome.rows.push_back(contact);
            outcome.rowStorage.push_back(static_cast<int>(s));
        }
    }
    outcome.header = !outcome.rows.empty();

    return outcome;
}

void placeFileLimit(const export_test::CutFile& file, SoakFault& fault, ExpectedOutcome& outcome) {
    // At least the byte-order mark fits: the file is made before the export starts.
    std::uint64_t size = file.head.size();
    for (const std::string& record : file.records)
        size += record.size();
    const std::uint64_t room = size - file.mark.size();
    fault.fileLimit =
        file.mark.size() +
        std::min(room - 1, static_cast<std::uint64_t>(fault.fileShare * static_cast<double>(room)));
    if (fault.kind != Kind::DiskFullAbort)
        return;
    size = file.head.size();
    outcome.header = size <= *fault.fileLimit;
    std::size_t fitting = 0;
    if (outcome.header) {
        while (fitting < outcome.rows.size() && fitting < file.records.size()) {
            size += file.records[fitting].size();
            if (size > *fault.fileLimit)
                break;
            ++fitting;
        }
    }
    if (fitting < outcome.rows.size()) {
        const auto failing = static_cast<std::size_t>(outcome.rowStorage[fitting]);
        outcome.results.resize(failing + 1);
        outcome.results[failing] = ExportResult::WriteError;
        outcome.rows.resize(fitting);
        outcome.rowStorage.resize(fitting);
    }
}

}  // namespace soak
