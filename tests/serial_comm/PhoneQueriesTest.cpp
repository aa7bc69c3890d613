#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/TextCodec.h"
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
