#include "serial_comm/PhoneProbeSequence.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "common/StorageKind.h"
#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/CommandList.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/Modem.h"
#include "serial_comm/SimStatus.h"
#include "serial_comm/StorageTable.h"

namespace serial_comm {

namespace {

constexpr std::string_view kStandardReadName = "+CPBR";
// The storages a probe tries, in the order the export reads them.
constexpr std::array<StorageKind, 2> kReadableStorages{StorageKind::Memory, StorageKind::Sim};

// The maker's phone, switched into mode 2: its support level, model and serial number, and back
// to mode 0.
ProbeReport probeMakersPhone(Modem& modem) {
    ProbeReport report;
    const PhoneSupport support = phoneSupport(modem);
    report.level = support.level;
    if (support.level != support_level::Unsupported)
        report.finding = ProbeFinding::Readable;
    else
        report.finding = support.silent ? ProbeFinding::Silent : ProbeFinding::MissingCommands;

    std::string answer;
    if (exchange(modem, CGMMCommand::actionCommand(), answer) != 0) {
        CGMMCommand command;
        command.parse(answer);
        report.model = command.model();
    }
    if (exchange(modem, CGSNCommand::actionCommand(), answer) != 0) {
        CGSNCommand command;
        command.parse(answer);
        report.serialNumber = command.serialNumber();
    }
    switchToIdleMode(modem);
    return report;
}

// Another maker's phone tells who it is; a question it does not answer leaves that part empty.
void identify(Modem& modem, ProbeReport& report) {
    std::string answer;
    if (exchange(modem, manufacturerCommand(), answer) != 0)
        report.manufacturer = readManufacturer(answer);
    if (exchange(modem, CGMMCommand::actionCommand(), answer) != 0)
        report.model = readModel(answer);
    if (exchange(modem, CGSNCommand::actionCommand(), answer) != 0)
        report.serialNumber = readSerialNumber(answer);
}

// The phonebook questions of another maker's phone (steps 3 and 4): the finding, and the level
// through report.
ProbeFinding askPhonebook(Modem& modem, ProbeReport& report) {
    std::string answer;
    if (exchange(modem, CSCSCommand::testCommand(), answer) == 0)
        return ProbeFinding::Silent;
    CSCSCommand charsets;
    charsets.parse(answer);
    if (!charsets.succeeded() || charsets.charsets().empty())
        return ProbeFinding::MissingCommands;

    if (exchange(modem, CPBSCommand::testCommand(), answer) == 0)
        return ProbeFinding::Silent;
    if (asksForSimPin(finalResultOf(answer)))
        return ProbeFinding::SimLocked;
    CPBSCommand storages;
    storages.parse(answer);
    const std::vector<StorageKind> offered =
        storageKindsOf(storages.storageNames(PhoneMaker::Other));
    for (const StorageKind kind : kReadableStorages) {
        if (std::find(offered.begin(), offered.end(), kind) == offered.end())
            continue;
        if (selectStorage(modem, *storageNameOf(kind), PhoneMaker::Other, answer) == 0)
            return ProbeFinding::Silent;
        FinalResult result = finalResultOf(answer);
        if (asksForSimPin(result))
            return ProbeFinding::SimLocked;
        if (!result.succeeded())
            continue;
        if (exchange(modem, indexRangeCommand(kStandardReadName), answer) == 0)
            return ProbeFinding::Silent;
        result = finalResultOf(answer);
        if (asksForSimPin(result))
            return ProbeFinding::SimLocked;
        IndexRange range;
        if (result.succeeded() && readIndexRange(answer, kStandardReadName, range)) {
            report.level = support_level::StandardPhonebook;
            return ProbeFinding::Readable;
        }
    }
    return ProbeFinding::MissingCommands;
}

}  // namespace

std::string_view findingWord(ProbeFinding finding) {
    switch (finding) {
        case ProbeFinding::Readable:
            return "readable";
        case ProbeFinding::Silent:
            return "silent";
        case ProbeFinding::RefusedMode:
            return "refused-mode";
        case ProbeFinding::MissingCommands:
            return "missing-commands";
        case ProbeFinding::SimLocked:
            return "sim-locked";
    }
    return "silent";
}

ProbeReport probeStandardPhonebook(Modem& modem) {
    ProbeReport report;
    report.otherMaker = true;
    int silences = 0;
    std::string answer;

    if (exchange(modem, commandListCommand(), answer) == 0) {
        ++silences;
    } else if (const auto commands = readSupportedCommands(answer);
               commands && !listsCommand(*commands, kStandardReadName)) {
        report.finding = ProbeFinding::MissingCommands;
        identify(modem, report);
        return report;
    }

    if (exchange(modem, simStatusCommand(), answer) == 0) {
        if (++silences == 2) {
            report.finding = ProbeFinding::Silent;
            return report;
        }
    } else if (simWaitsForPin(answer)) {
        report.finding = ProbeFinding::SimLocked;
        identify(modem, report);
        return report;
    }

    report.finding = askPhonebook(modem, report);
    if (report.finding != ProbeFinding::Silent)
        identify(modem, report);
    return report;
}

ProbeReport probePhoneOn(Modem& modem, PortOrigin origin, std::chrono::milliseconds pause) {
    if (origin == PortOrigin::OtherUsbDevice)
        return probeStandardPhonebook(modem);
    const ModeSwitchOutcome outcome = switchToReadingMode(modem, ModeAnswers::MustHoldOk, pause);
    if (outcome.completed)
        return probeMakersPhone(modem);
    if (origin == PortOrigin::Unknown && outcome.refused)
        return probeStandardPhonebook(modem);
    ProbeReport report;
    report.finding = outcome.silent ? ProbeFinding::Silent : ProbeFinding::RefusedMode;
    return report;
}

}  // namespace serial_comm
