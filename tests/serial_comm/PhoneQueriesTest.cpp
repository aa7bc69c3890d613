#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/ScenarioParser.h"
#include "phonesim/Simulator.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CGMMCommand.h"
#include "serial_comm/CGSNCommand.h"
#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CSCSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/MPBRESupportedRangeCommand.h"
#include "serial_comm/ModeSwitch.h"
#include "serial_comm/Modem.h"
#include "serial_comm/PhoneProbeSequence.h"
#include "serial_comm/PhoneSupportLevel.h"
#include "serial_comm/StorageTable.h"

namespace {

using namespace serial_comm;
using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Long enough for any answer of the simulated phone, short enough to keep silent phones quick.
constexpr std::chrono::milliseconds kShortSilence = 400ms;
// Stands in for the pause after a mode switch, which only a real phone needs.
constexpr std::chrono::milliseconds kTestPause = 10ms;

phonesim::Scenario scenarioFrom(std::string_view text) {
    phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(text, "test");
    if (!parsed)
        throw std::invalid_argument(parsed.error);
    return std::move(*parsed.scenario);
}

// A simulated phone with the program's modem open on its port.
struct Rig {
    explicit Rig(std::string_view scenario, std::chrono::milliseconds silence = at::kSilenceTimeout)
        : phone(scenarioFrom(scenario)) {
        if (!modem.port().open(text_codec::fromUtf8(phone.portPath()), 0, 0))
            throw std::runtime_error("cannot open " + phone.portPath());
        modem.setSilenceTimeout(silence);
    }

    phonesim::Simulator phone;
    Modem modem;
};

constexpr std::string_view kExtendedPhone = R"(
[phone]
model = V3
imei = 351234567890123
bands = GSM900, GSM1800
charsets = UCS2, UTF8, ASCII, GSM
extended = yes

[storage ME]
range = 1-1000

[storage SM]
range = 1-250

[storage FD]

[groups]
range = 1-10
)";

TEST(PhoneSupportLevelTest, FollowsTheCommandListAndItsConfirmation) {
    struct Case {
        const char* name;
        std::string scenario;
        std::int32_t level;
        Strings transcript;
    };
    const Strings confirmed{"AT+CLAC", "AT+CSCS=?", "AT+CPBS=?"};
    const Case cases[] = {
        {"extended", std::string(kExtendedPhone), 5, confirmed},
        {"standard", "[phone]\n[storage SM]\n", 4, confirmed},
        {"no AT+CSCS",
         R"([phone]
extended = yes
commands = AT+CGMM, AT+CGSN, AT+CPBS, AT+MPBRE, AT+CPBR
[storage ME]
)",
         3,
         {"AT+CLAC"}},
        {"no phonebook read command",
         R"([phone]
commands = AT+CGMM, AT+CGSN, AT+CPBS, AT+CSCS, AT+CPBRX
[storage ME]
)",
         3,
         {"AT+CLAC"}},
        {"both read commands", R"([phone]
commands = AT+CPBR, AT+CSCS, AT+CPBS, AT+MPBRE, AT+CGSN, AT+CGMM
[storage ME]
)",
         5, confirmed},
        {"charsets refused",
         std::string(kExtendedPhone) + "[behaviour]\nfail = AT+CSCS=?\n",
         3,
         {"AT+CLAC", "AT+CSCS=?"}},
        {"storages refused", std::string(kExtendedPhone) + "[behaviour]\nfail = AT+CPBS=?\n", 3,
         confirmed},
        {"no storage listed",
         std::string(kExtendedPhone) +
             "[behaviour]\nanswer = AT+CPBS=? -> \"\\r\\n+CPBS: ()\\r\\n\\r\\nOK\\r\\n\"\n",
         3, confirmed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.scenario);
        EXPECT_EQ(phoneSupportLevel(rig.modem), c.level);
        EXPECT_EQ(rig.phone.transcript(), c.transcript);
    }
}

TEST(PhoneSupportLevelTest, SilentPhonesAreUnsupported) {
    struct Case {
        const char* silent;
        Strings transcript;
    };
    const Case cases[] = {
        {"AT+CLAC", {"AT+CLAC"}},
        {"AT+CSCS=?", {"AT+CLAC", "AT+CSCS=?"}},
        {"AT+CPBS=?", {"AT+CLAC", "AT+CSCS=?", "AT+CPBS=?"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silent);
        Rig rig(std::string(kExtendedPhone) + "[behaviour]\nsilent = " + c.silent + "\n",
                kShortSilence);
        EXPECT_EQ(phoneSupportLevel(rig.modem), support_level::Unsupported);
        EXPECT_EQ(rig.phone.transcript(), c.transcript);
    }
}

TEST(ModeSwitchTest, APhoneInModeZeroOnlyGetsTheSwitchToTwo) {
    Rig rig("[phone]\nmode = 0\n[storage ME]\n");
    const ModeSwitchOutcome outcome =
        switchToReadingMode(rig.modem, ModeAnswers::MustHoldOk, kTestPause);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.modeRead, "0");
    EXPECT_FALSE(outcome.wentThroughIdle);
    EXPECT_EQ(rig.phone.transcript(), (Strings{"AT+MODE?", "AT+MODE=2"}));

    // The lines the phone sends after the switch were taken with its answer, so the next
    // answer is the next command's own.
    std::string answer;
    ASSERT_GT(exchange(rig.modem, CPBSCommand::readCommand(), answer), 0u);
    CPBSCommand fill;
    fill.parse(answer);
    EXPECT_TRUE(fill.succeeded());
    EXPECT_EQ(storageFill(fill.items()).name, "ME");

    EXPECT_TRUE(switchToIdleMode(rig.modem));
    EXPECT_EQ(rig.phone.transcript().back(), "AT+MODE=0");
}

TEST(ModeSwitchTest, ModeTwoOrAnUnreadModeGoesThroughModeZero) {
    struct Case {
        const char* name;
        const char* scenario;
        ModeAnswers answers;
        std::string modeRead;
    };
    const Case cases[] = {
        {"mode 2", "[phone]\nmode = 2\n", ModeAnswers::MustHoldOk, "2"},
        {"mode 2, answers ignored", "[phone]\nmode = 2\n", ModeAnswers::Ignored, "2"},
        {"silent AT+MODE?", "[phone]\nmode = 0\n[behaviour]\nsilent = AT+MODE?\n",
         ModeAnswers::Ignored, "2"},
        {"AT+MODE? refused", "[phone]\nmode = 0\n[behaviour]\nfail = AT+MODE?\n",
         ModeAnswers::MustHoldOk, "2"},
        {"AT+MODE? answered by a bare OK",
         "[phone]\nmode = 0\n[behaviour]\nanswer = AT+MODE? -> \"\\r\\nOK\\r\\n\"\n",
         ModeAnswers::MustHoldOk, "2"},
        {"AT+MODE? answered by an empty +MODE line",
         "[phone]\nmode = 0\n[behaviour]\nanswer = AT+MODE? -> "
         "\"\\r\\n+MODE:\\r\\n\\r\\nOK\\r\\n\"\n",
         ModeAnswers::Ignored, "2"},
        {"AT+MODE=0 refused, answers ignored", "[phone]\nmode = 2\n[behaviour]\nfail = AT+MODE=0\n",
         ModeAnswers::Ignored, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.scenario, kShortSilence);
        const ModeSwitchOutcome outcome = switchToReadingMode(rig.modem, c.answers, kTestPause);
        EXPECT_TRUE(outcome.completed);
        EXPECT_TRUE(outcome.wentThroughIdle);
        EXPECT_EQ(outcome.modeRead, c.modeRead);
        EXPECT_EQ(rig.phone.transcript(), (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
    }
}

TEST(ModeSwitchTest, AProbeStopsAtTheFirstAnswerWithoutOk) {
    struct Case {
        const char* name;
        const char* scenario;
        Strings transcript;
    };
    const Case cases[] = {
        {"silent AT+MODE?", "[phone]\nmode = 0\n[behaviour]\nsilent = AT+MODE?\n", {"AT+MODE?"}},
        {"AT+MODE=0 refused",
         "[phone]\nmode = 2\n[behaviour]\nfail = AT+MODE=0\n",
         {"AT+MODE?", "AT+MODE=0"}},
        {"AT+MODE=2 refused",
         "[phone]\nmode = 0\n[behaviour]\nfail = AT+MODE=2\n",
         {"AT+MODE?", "AT+MODE=2"}},
        {"silent AT+MODE=2",
         "[phone]\nmode = 0\n[behaviour]\nsilent = AT+MODE=2\n",
         {"AT+MODE?", "AT+MODE=2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.scenario, kShortSilence);
        const ModeSwitchOutcome outcome =
            switchToReadingMode(rig.modem, ModeAnswers::MustHoldOk, kTestPause);
        EXPECT_FALSE(outcome.completed);
        EXPECT_EQ(rig.phone.transcript(), c.transcript);
    }
}

TEST(ModeSwitchTest, ARefusedSwitchIsToldFromASilentOne) {
    struct Case {
        const char* name;
        const char* behaviour;
        bool silent;
        bool refused;
    };
    const Case cases[] = {
        {"silent AT+MODE?", "silent = AT+MODE?", true, false},
        {"AT+MODE=0 refused", "fail = AT+MODE=0", false, true},
        {"AT+MODE=0 refused in words",
         "answer = AT+MODE=0 -> \"\\r\\n+CME ERROR: operation not supported\\r\\n\"", false, true},
        {"AT+MODE=0 answered by nothing useful", "answer = AT+MODE=0 -> \"\\r\\nHELLO\\r\\n\"",
         false, false},
        {"silent AT+MODE=0", "silent = AT+MODE=0", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(std::string("[phone]\nmode = 2\n[behaviour]\n") + c.behaviour + "\n",
                kShortSilence);
        const ModeSwitchOutcome outcome =
            switchToReadingMode(rig.modem, ModeAnswers::MustHoldOk, kTestPause);
        EXPECT_FALSE(outcome.completed);
        EXPECT_EQ(outcome.silent, c.silent);
        EXPECT_EQ(outcome.refused, c.refused);
    }
}

// Another maker's phone, asked with the standard commands only.
constexpr std::string_view kOtherMakersPhone = R"(
[phone]
manufacturer = Kestrel
model = KM-7
imei = 356789012340001
charsets = UCS2, GSM, IRA
mode-command = no
identification = plain
[storage SM]
range = 1-250
[storage ME]
range = 1-100
[storage EN]
[behaviour]
fail = AT+CLAC
error-mode = 1
)";

TEST(StandardPhonebookProbeTest, EachOutcomeFollowsFromThePhonesAnswers) {
    const Strings identify{"AT+CGMI", "AT+CGMM", "AT+CGSN"};
    const auto then = [](Strings first, const Strings& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    };
    const Strings start{"AT+CLAC", "AT+CPIN?", "AT+CSCS=?", "AT+CPBS=?"};
    const Strings readable = then(then(start, {"AT+CPBS=\"ME\"", "AT+CPBR=?"}), identify);
    struct Case {
        const char* name;
        std::string phone;  // more [phone] lines
        std::string behaviour;
        ProbeFinding finding;
        Strings transcript;
    };
    const Case cases[] = {
        {"AT+CLAC refused, ME gives a range", "", "", ProbeFinding::Readable, readable},
        {"a list in one +CLAC line with AT+CPBR", "",
         "answer = AT+CLAC -> \"\\r\\n+CLAC:&C,E,+CPBS,+CPBR,+CSCS,\\r\\n\\r\\nOK\\r\\n\"",
         ProbeFinding::Readable, readable},
        {"a list without AT+CPBR", "",
         "answer = AT+CLAC -> \"\\r\\n+CGMI\\r\\r\\n+CSCS\\r\\r\\n+CPBS\\r\\r\\n\\r\\nOK\\r\\n\"",
         ProbeFinding::MissingCommands, then({"AT+CLAC"}, identify)},
        {"a silent AT+CLAC", "", "silent = AT+CLAC", ProbeFinding::Readable, readable},
        {"a SIM ready", "sim = ready", "", ProbeFinding::Readable, readable},
        {"a SIM waiting for its PIN", "sim = pin", "", ProbeFinding::SimLocked,
         then({"AT+CLAC", "AT+CPIN?"}, identify)},
        {"a SIM waiting for its PUK", "sim = puk", "", ProbeFinding::SimLocked,
         then({"AT+CLAC", "AT+CPIN?"}, identify)},
        {"the selection asks for the PIN", "",
         "answer = AT+CPBS=\"ME\" -> \"\\r\\n+CME ERROR: SIM PIN required\\r\\n\"",
         ProbeFinding::SimLocked, then(then(start, {"AT+CPBS=\"ME\""}), identify)},
        {"the range asks for the PIN", "", "answer = AT+CPBR=? -> \"\\r\\n+CME ERROR: 11\\r\\n\"",
         ProbeFinding::SimLocked, readable},
        {"ME refused (also in the UCS2 form), SM gives a range", "", "fail = AT+CPBS=\"ME\"",
         ProbeFinding::Readable,
         then(
             then(start, {"AT+CPBS=\"ME\"", "AT+CPBS=\"004D0045\"", "AT+CPBS=\"SM\"", "AT+CPBR=?"}),
             identify)},
        {"storages listed, and taken, only in the UCS2 form", "",
         "answer = AT+CPBS=? -> \"\\r\\n+CPBS: (\\\"0053004D\\\",\\\"004D0045\\\")\\r\\n\\r\\n"
         "OK\\r\\n\"\nfail = AT+CPBS=\"ME\"\nanswer = AT+CPBS=\"004D0045\" -> \"\\r\\nOK\\r\\n\"",
         ProbeFinding::Readable,
         then(then(start, {"AT+CPBS=\"ME\"", "AT+CPBS=\"004D0045\"", "AT+CPBR=?"}), identify)},
        {"no range in either storage", "", "fail = AT+CPBR=?", ProbeFinding::MissingCommands,
         then(then(start, {"AT+CPBS=\"ME\"", "AT+CPBR=?", "AT+CPBS=\"SM\"", "AT+CPBR=?"}),
              identify)},
        {"only storages the export never reads", "",
         "answer = AT+CPBS=? -> \"\\r\\n+CPBS: "
         "(\\\"EN\\\",\\\"ON\\\",\\\"FD\\\")\\r\\n\\r\\nOK\\r\\n\"",
         ProbeFinding::MissingCommands, then(start, identify)},
        {"no charset listed", "", "fail = AT+CSCS=?", ProbeFinding::MissingCommands,
         then({"AT+CLAC", "AT+CPIN?", "AT+CSCS=?"}, identify)},
        {"silent to its first two questions",
         "",
         "silent = AT+CLAC\nsilent = AT+CPIN?",
         ProbeFinding::Silent,
         {"AT+CLAC", "AT+CPIN?"}},
        {"silent once the storages are asked", "", "silent = AT+CPBS=?", ProbeFinding::Silent,
         start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string scenario(kOtherMakersPhone);
        scenario.insert(scenario.find("[storage SM]"), c.phone + "\n");
        Rig rig(scenario + c.behaviour + "\n", kShortSilence);
        const ProbeReport report = probeStandardPhonebook(rig.modem);
        EXPECT_EQ(report.finding, c.finding) << findingWord(report.finding);
        EXPECT_EQ(report.level, c.finding == ProbeFinding::Readable
                                    ? support_level::StandardPhonebook
                                    : support_level::Unsupported);
        EXPECT_TRUE(report.otherMaker);
        EXPECT_EQ(rig.phone.transcript(), c.transcript);
        const bool identified = c.finding != ProbeFinding::Silent;
        EXPECT_EQ(report.manufacturer, identified ? u"Kestrel" : u"");
        EXPECT_EQ(report.model, identified ? u"KM-7" : u"");
        EXPECT_EQ(report.serialNumber, identified ? u"356789012340001" : u"");
    }
}

TEST(PhoneProbeSequenceTest, APortOfUnknownOriginRefusingTheSwitchIsAskedAsAnotherMakers) {
    // A pause long enough to show: the refused command is not followed by it.
    constexpr auto kLongPause = std::chrono::milliseconds(10000);
    Rig rig(kOtherMakersPhone);
    const auto start = std::chrono::steady_clock::now();
    const ProbeReport report = probePhoneOn(rig.modem, PortOrigin::Unknown, kLongPause);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kLongPause / 2);
    EXPECT_EQ(report.finding, ProbeFinding::Readable);
    EXPECT_EQ(report.level, support_level::StandardPhonebook);
    EXPECT_TRUE(report.otherMaker);
    EXPECT_EQ(report.model, u"KM-7");
    const Strings transcript = rig.phone.transcript();
    ASSERT_GE(transcript.size(), 3u);
    EXPECT_EQ(Strings(transcript.begin(), transcript.begin() + 3),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+CLAC"}));
    EXPECT_EQ(std::count_if(transcript.begin(), transcript.end(),
                            [](const std::string& line) { return line.starts_with("AT+MODE"); }),
              2);
}

TEST(PhoneProbeSequenceTest, WhereThePortComesFromDecidesTheModeCommands) {
    const auto modeCommands = [](const Strings& transcript) {
        Strings mode;
        for (const std::string& line : transcript) {
            if (line.starts_with("AT+MODE"))
                mode.push_back(line);
        }
        return mode;
    };
    // Another vendor's USB device is never sent the maker's mode command.
    {
        Rig rig(kOtherMakersPhone);
        const ProbeReport report = probePhoneOn(rig.modem, PortOrigin::OtherUsbDevice, kTestPause);
        EXPECT_EQ(report.finding, ProbeFinding::Readable);
        EXPECT_TRUE(report.otherMaker);
        EXPECT_EQ(rig.phone.transcript().front(), "AT+CLAC");
        EXPECT_TRUE(modeCommands(rig.phone.transcript()).empty());
    }
    // The maker's USB device that refuses the switch stays the maker's: unsupported.
    {
        Rig rig(kOtherMakersPhone);
        const ProbeReport report = probePhoneOn(rig.modem, PortOrigin::MakersUsbDevice, kTestPause);
        EXPECT_EQ(report.finding, ProbeFinding::RefusedMode);
        EXPECT_EQ(report.level, support_level::Unsupported);
        EXPECT_FALSE(report.otherMaker);
        EXPECT_EQ(rig.phone.transcript(), (Strings{"AT+MODE?", "AT+MODE=0"}));
    }
    // The maker's phone on a port of unknown origin gets the maker's sequence, byte for byte.
    for (const char* name : {"demo", "standard-ucs2", "unsupported"}) {
        SCOPED_TRACE(name);
        phonesim::Simulator usb(phonesim::BuiltInScenarios::load(name));
        phonesim::Simulator pty(phonesim::BuiltInScenarios::load(name));
        Modem usbModem;
        Modem ptyModem;
        ASSERT_TRUE(usbModem.port().open(text_codec::fromUtf8(usb.portPath()), 0, 0));
        ASSERT_TRUE(ptyModem.port().open(text_codec::fromUtf8(pty.portPath()), 0, 0));
        const ProbeReport fromUsb = probePhoneOn(usbModem, PortOrigin::MakersUsbDevice, kTestPause);
        const ProbeReport fromPty = probePhoneOn(ptyModem, PortOrigin::Unknown, kTestPause);
        EXPECT_EQ(pty.transcript(), usb.transcript());
        EXPECT_EQ(fromPty.level, fromUsb.level);
        EXPECT_FALSE(fromPty.otherMaker);
        EXPECT_TRUE(fromPty.manufacturer.empty());
        EXPECT_EQ(pty.transcript().back(), "AT+MODE=0");
    }
    // A silent port says nothing more after the mode query.
    {
        Rig rig(std::string(kOtherMakersPhone) + "silent = AT+MODE?\n", kShortSilence);
        const ProbeReport report = probePhoneOn(rig.modem, PortOrigin::Unknown, kTestPause);
        EXPECT_EQ(report.finding, ProbeFinding::Silent);
        EXPECT_FALSE(report.otherMaker);
        EXPECT_EQ(rig.phone.transcript(), Strings{"AT+MODE?"});
    }
}

TEST(PhoneQueriesTest, QuestionsAndSelectionsRoundTripThroughThePhone) {
    Rig rig(kExtendedPhone);
    std::string answer;

    ASSERT_GT(exchange(rig.modem, CGMMCommand::actionCommand(), answer), 0u);
    CGMMCommand model;
    model.parse(answer);
    EXPECT_TRUE(model.succeeded());
    EXPECT_EQ(model.model(), u"V3");

    ASSERT_GT(exchange(rig.modem, CGSNCommand::actionCommand(), answer), 0u);
    CGSNCommand serial;
    serial.parse(answer);
    EXPECT_EQ(serial.serialNumber(), u"351234567890123");

    ASSERT_GT(exchange(rig.modem, CSCSCommand::testCommand(), answer), 0u);
    CSCSCommand charsets;
    charsets.parse(answer);
    EXPECT_EQ(charsets.charsets(),
              (std::vector<std::u16string>{u"UCS2", u"UTF8", u"ASCII", u"GSM"}));

    ASSERT_GT(exchange(rig.modem, CPBSCommand::testCommand(), answer), 0u);
    CPBSCommand storages;
    storages.parse(answer);
    EXPECT_EQ(storages.items(), (Strings{"ME", "SM", "FD"}));
    EXPECT_EQ(storageKindsOf(storages.items()),
              (std::vector<StorageKind>{StorageKind::Memory, StorageKind::Sim}));

    ASSERT_GT(exchange(rig.modem, MPBRESupportedRangeCommand::testCommand(), answer), 0u);
    MPBRESupportedRangeCommand extendedRange;
    extendedRange.parse(answer);
    EXPECT_TRUE(extendedRange.found());
    EXPECT_EQ(extendedRange.range(), (IndexRange{1, 1000}));

    IndexRange range;
    ASSERT_GT(exchange(rig.modem, indexRangeCommand("+CPBR"), answer), 0u);
    EXPECT_TRUE(readIndexRange(answer, range));
    EXPECT_EQ(range, (IndexRange{1, 1000}));
    ASSERT_GT(exchange(rig.modem, indexRangeCommand("+MPGR"), answer), 0u);
    EXPECT_TRUE(readIndexRange(answer, range));
    EXPECT_EQ(range, (IndexRange{1, 10}));

    // The set commands: the phone takes the quoted names it knows and refuses the others.
    const std::size_t before = rig.phone.transcript().size();
    ASSERT_GT(exchange(rig.modem, CSCSCommand::setCommand(u"UTF8"), answer), 0u);
    EXPECT_TRUE(holdsOk(answer));
    ASSERT_GT(
        exchange(rig.modem, CPBSCommand::setCommand(*storageNameOf(StorageKind::Sim)), answer), 0u);
    EXPECT_TRUE(holdsOk(answer));
    ASSERT_GT(exchange(rig.modem, CPBSCommand::readCommand(), answer), 0u);
    CPBSCommand fill;
    fill.parse(answer);
    const StorageFill selected = storageFill(fill.items());
    EXPECT_EQ(selected.name, "SM");
    EXPECT_EQ(selected.used, 0);
    EXPECT_EQ(selected.total, 250);
    ASSERT_GT(exchange(rig.modem, CPBSCommand::setCommand("XX"), answer), 0u);
    EXPECT_FALSE(holdsOk(answer));
    EXPECT_EQ(rig.phone.transcriptSince(before),
              (Strings{"AT+CSCS=\"UTF8\"", "AT+CPBS=\"SM\"", "AT+CPBS?", "AT+CPBS=\"XX\""}));
}

}  // namespace
