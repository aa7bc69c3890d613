#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "RawPortClient.h"
#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "devices/DeviceIds.h"
#include "devices/PhoneProbe.h"
#include "devices/ZuvoDeviceFilter.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/SerialPortException.h"
#include "tasks/ModemLease.h"
#include "tasks/ModemRegistry.h"

namespace {

using namespace std::chrono_literals;
using phonesim::Scenario;
using phonesim::Simulator;
using serial_comm::SerialPortException;
using Strings = std::vector<std::string>;

bool contains(const Strings& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A simulated phone reached through a link named like the maker's port under
// /dev/serial/by-id, so that the vendor filter finds the maker's ID in the path.
class PhoneProbeTest : public ::testing::Test {
protected:
    // Starts the phone and makes the record the modem enumeration would report for it.
    void plugIn(Scenario scenario) {
        phone.emplace(std::move(scenario));
        const auto link = folder.file("usb-Korvanta_Z3_vid_3c5f&pid_7d19-if01");
        std::filesystem::remove(link);
        std::filesystem::create_symlink(phone->portPath(), link);
        found.device = 42;
        found.rootDevice = 40;
        found.devicePath = text_codec::fromUtf8(link.string());
        found.vendorId = vendorIdOf(found.devicePath);
        result.retriesLeft = 7;  // set by the caller, kept by the probe
        result.rootDevice = found.rootDevice;
    }

    void expectCopiedFromFound() const {
        EXPECT_EQ(result.device, found.device);
        EXPECT_EQ(result.devicePath, found.devicePath);
        EXPECT_EQ(result.vendorId, u"3C5F");
        EXPECT_EQ(result.retriesLeft, 7);
        EXPECT_EQ(result.rootDevice, 40u);
    }

    static Scenario builtIn(const char* name) { return phonesim::BuiltInScenarios::load(name); }

    test_support::TempDir folder;
    std::optional<Simulator> phone;
    const device_filter::ZuvoDeviceFilter filter{};
    DEVICE_INFO_EX found;
    DEVICE_INFO_EX result;
};

TEST_F(PhoneProbeTest, TheDemoPhoneIsExtendedAndIsLeftInModeZero) {
    plugIn(phonesim::BuiltInScenarios::demo());
    ASSERT_TRUE(probePhone(filter, found, result));

    EXPECT_EQ(result.state, DeviceState::ExtendedPhonebook);
    EXPECT_EQ(result.model, u"Z3");
    EXPECT_EQ(result.imei, u"351234567890123");
    EXPECT_EQ(result.cause, causes::PhoneCause{});
    expectCopiedFromFound();

    const Strings transcript = phone->transcript();
    ASSERT_GE(transcript.size(), 3u);
    EXPECT_EQ(transcript.front(), "AT+MODE?");
    EXPECT_EQ(transcript[1], "AT+MODE=2");  // the phone was in mode 0
    EXPECT_EQ(transcript.back(), "AT+MODE=0");
    for (const char* asked : {"AT+CLAC", "AT+CSCS=?", "AT+CPBS=?", "AT+CGMM", "AT+CGSN"})
        EXPECT_TRUE(contains(transcript, asked)) << asked;

    // The port is free again, and the phone says it is in mode 0.
    test_support::RawPortClient port(phone->portPath());
    EXPECT_NE(port.command("AT+MODE?").find("+MODE: 0"), std::string::npos);
}

TEST_F(PhoneProbeTest, AStandardPhoneFoundInModeTwoIsSwitchedAfreshAndReadStandard) {
    Scenario scenario = builtIn("standard-ucs2");
    scenario.phone.mode = 2;
    plugIn(scenario);
    ASSERT_TRUE(probePhone(filter, found, result));

    EXPECT_EQ(result.state, DeviceState::StandardPhonebook);
    EXPECT_EQ(result.model, text_codec::fromUtf8(scenario.phone.model));
    EXPECT_EQ(result.imei, text_codec::fromUtf8(scenario.phone.imei));
    const Strings transcript = phone->transcript();
    ASSERT_GE(transcript.size(), 3u);
    EXPECT_EQ(Strings(transcript.begin(), transcript.begin() + 3),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
    EXPECT_EQ(transcript.back(), "AT+MODE=0");
}

TEST_F(PhoneProbeTest, APhoneAnsweringItsModeWithABareOkIsSwitchedThroughModeZero) {
    Scenario scenario = phonesim::BuiltInScenarios::demo();
    scenario.behaviour.cannedAnswers.push_back(
        {phonesim::CommandPattern("AT+MODE?"), "\r\nOK\r\n"});
    plugIn(scenario);
    ASSERT_TRUE(probePhone(filter, found, result));

    EXPECT_EQ(result.state, DeviceState::ExtendedPhonebook);
    EXPECT_EQ(result.model, u"Z3");
    const Strings transcript = phone->transcript();
    ASSERT_GE(transcript.size(), 3u);
    EXPECT_EQ(Strings(transcript.begin(), transcript.begin() + 3),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
    EXPECT_EQ(transcript.back(), "AT+MODE=0");
}

TEST_F(PhoneProbeTest, APhoneThatRefusesModeTwoIsUnsupportedWithoutModelOrImei) {
    Scenario scenario = phonesim::BuiltInScenarios::demo();
    scenario.behaviour.failing.emplace_back("AT+MODE=2");
    plugIn(scenario);
    result.model = u"stale";  // nothing from an earlier probe survives
    result.imei = u"stale";
    ASSERT_TRUE(probePhone(filter, found, result));

    EXPECT_EQ(result.state, DeviceState::Unsupported);
    EXPECT_EQ(result.cause.kind, causes::Cause::RefusedMode) << "it answered, with ERROR";
    EXPECT_TRUE(result.model.empty());
    EXPECT_TRUE(result.imei.empty());
    expectCopiedFromFound();
    EXPECT_EQ(phone->transcript(), (Strings{"AT+MODE?", "AT+MODE=2"}));
}

// Why a phone that answers (or not) cannot be read is kept with its record.
TEST_F(PhoneProbeTest, APhoneThatCannotBeReadKeepsWhatItDid) {
    struct Case {
        const char* what;
        Scenario scenario;
        causes::Cause cause;
    };
    Scenario mute = phonesim::BuiltInScenarios::demo();
    mute.behaviour.silent.emplace_back("AT+MODE?");
    Scenario noList = phonesim::BuiltInScenarios::demo();
    noList.behaviour.silent.emplace_back("AT+CLAC");
    Scenario idleRefused = phonesim::BuiltInScenarios::demo();
    idleRefused.phone.mode = 2;
    idleRefused.behaviour.failing.emplace_back("AT+MODE=0");
    const std::vector<Case> cases = {
        {"silent to AT+MODE?", mute, causes::Cause::Silent},
        {"silent to AT+CLAC after the switch", noList, causes::Cause::Silent},
        {"ERROR to AT+MODE=0", idleRefused, causes::Cause::RefusedMode},
        {"lacking AT+CSCS", builtIn("unsupported"), causes::Cause::MissingCommands},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plugIn(c.scenario);
        ASSERT_TRUE(probePhone(filter, found, result));
        EXPECT_EQ(result.state, DeviceState::Unsupported);
        EXPECT_EQ(result.cause, causes::PhoneCause(c.cause));
    }
}

TEST_F(PhoneProbeTest, ASerialNumberWithoutAModelIsNotKept) {
    Scenario scenario = phonesim::BuiltInScenarios::demo();
    scenario.behaviour.cannedAnswers.push_back(
        {phonesim::CommandPattern("AT+CGMM"), "\r\n+CGMM: \"GSM900\",\"GSM1800\"\r\n\r\nOK\r\n"});
    plugIn(scenario);
    ASSERT_TRUE(probePhone(filter, found, result));

    EXPECT_EQ(result.state, DeviceState::ExtendedPhonebook);
    EXPECT_TRUE(result.model.empty());
    EXPECT_TRUE(result.imei.empty());
    EXPECT_TRUE(contains(phone->transcript(), "AT+CGSN"));  // it was asked, and answered
}

TEST_F(PhoneProbeTest, AnotherVendorsModemIsNeverOpened) {
    plugIn(phonesim::BuiltInScenarios::demo());
    // The phone's own path, without the maker's ID in it.
    found.devicePath = text_codec::fromUtf8(phone->portPath());
    found.vendorId = vendorIdOf(found.devicePath);
    EXPECT_FALSE(probePhone(filter, found, result));
    EXPECT_EQ(result.state, DeviceState::Unsupported);
    EXPECT_EQ(result.devicePath, found.devicePath);

    // A port that does not even exist is not touched either.
    found.devicePath = u"/dev/contaxio-missing/usb-Other_vid_0bda&pid_8153";
    found.vendorId = vendorIdOf(found.devicePath);
    EXPECT_FALSE(probePhone(filter, found, result));

    EXPECT_TRUE(phone->transcript().empty());
    test_support::RawPortClient port(phone->portPath());  // and the port is free
}

std::size_t modeCommandsIn(const Strings& transcript) {
    return static_cast<std::size_t>(
        std::count_if(transcript.begin(), transcript.end(),
                      [](const std::string& line) { return line.starts_with("AT+MODE"); }));
}

TEST_F(PhoneProbeTest, AnotherMakersPhoneOnAPseudoTerminalIsReadableWithMakerAndModel) {
    phone.emplace(builtIn("other-maker"));
    found.devicePath = text_codec::fromUtf8(phone->portPath());  // no USB identity
    serial_comm::ProbeFinding finding = serial_comm::ProbeFinding::Silent;
    probeAskedPort(found, result, &finding);

    EXPECT_EQ(result.state, DeviceState::StandardPhonebook);
    EXPECT_EQ(finding, serial_comm::ProbeFinding::Readable);
    EXPECT_TRUE(result.otherMaker);
    EXPECT_EQ(result.manufacturer, u"Nordlicht");
    EXPECT_EQ(result.model, u"NL-200");
    EXPECT_EQ(result.imei, u"356789012345671");
    EXPECT_EQ(serial_comm::phoneName(result.manufacturer, result.model), u"Nordlicht NL-200");
    // The maker's query and the switch it refused, and no mode command after them.
    const Strings transcript = phone->transcript();
    ASSERT_GE(transcript.size(), 2u);
    EXPECT_EQ(Strings(transcript.begin(), transcript.begin() + 2),
              (Strings{"AT+MODE?", "AT+MODE=0"}));
    EXPECT_EQ(modeCommandsIn(transcript), 2u);

    // A probe that finds the maker's phone afterwards leaves nothing of the other maker's.
    phone.emplace(builtIn("standard-ucs2"));
    found.devicePath = text_codec::fromUtf8(phone->portPath());
    probeAskedPort(found, result, &finding);
    EXPECT_EQ(result.state, DeviceState::StandardPhonebook);
    EXPECT_FALSE(result.otherMaker);
    EXPECT_TRUE(result.manufacturer.empty());
    EXPECT_EQ(result.model, u"Z1");
}

TEST_F(PhoneProbeTest, AnotherVendorsUsbPhoneIsNeverSentTheModeCommand) {
    phone.emplace(builtIn("other-maker-gsm"));
    found.devicePath = text_codec::fromUtf8(phone->portPath());
    found.vendorId = u"1F6E";
    probeAskedPort(found, result);
    EXPECT_EQ(result.state, DeviceState::StandardPhonebook);
    EXPECT_TRUE(result.otherMaker);
    EXPECT_EQ(serial_comm::phoneName(result.manufacturer, result.model), u"Nordlicht NL-100");
    EXPECT_EQ(phone->transcript().front(), "AT+CLAC");
    EXPECT_EQ(modeCommandsIn(phone->transcript()), 0u);
}

TEST_F(PhoneProbeTest, ASimWaitingForItsPinIsACauseOfItsOwnAndNoPinIsSent) {
    Scenario scenario = builtIn("other-maker");
    scenario.phone.sim = "pin";
    phone.emplace(scenario);
    found.devicePath = text_codec::fromUtf8(phone->portPath());
    serial_comm::ProbeFinding finding = serial_comm::ProbeFinding::Readable;
    probeAskedPort(found, result, &finding);

    EXPECT_EQ(result.state, DeviceState::Unsupported);
    EXPECT_EQ(finding, serial_comm::ProbeFinding::SimLocked);
    EXPECT_EQ(serial_comm::findingWord(finding), "sim-locked");
    EXPECT_TRUE(result.otherMaker);
    EXPECT_EQ(result.model, u"NL-200");  // it still says who it is
    for (const std::string& line : phone->transcript()) {
        EXPECT_FALSE(line.starts_with("AT+CPIN=")) << line;
        EXPECT_FALSE(line.starts_with("AT+CPBS=\"")) << line;
    }
}

TEST_F(PhoneProbeTest, APortThatCannotBeHadThrowsOutOfTheProbe) {
    plugIn(phonesim::BuiltInScenarios::demo());
    {
        ModemLease manager(found.devicePath, 1);
        try {
            probePhone(filter, found, result);
            ADD_FAILURE() << "the probe got a port the phone manager holds";
        } catch (const SerialPortException& e) {
            EXPECT_EQ(e.code(), 0);
            EXPECT_TRUE(e.openError() == EBUSY || e.openError() == EWOULDBLOCK) << e.openError();
        }
        EXPECT_EQ(result.state, DeviceState::Unsupported);
        // This process holds it, which is no other program to name.
        EXPECT_EQ(result.cause.kind, causes::Cause::Busy);
        expectCopiedFromFound();
    }

    found.devicePath = u"/dev/contaxio-missing/usb-Korvanta_vid_3c5f&pid_7d19";
    try {
        probePhone(filter, found, result);
        ADD_FAILURE() << "the probe opened a missing port";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
        EXPECT_EQ(e.openError(), ENOENT);
    }
    EXPECT_EQ(result.cause, causes::PhoneCause(causes::Cause::NoSuchPort, ENOENT));
    EXPECT_TRUE(phone->transcript().empty());
}

// The user selects the phone while the device worker probes it: the phone manager's lease takes
// the port, the probe ends with SerialPortException and gives its displaced modem back.
TEST_F(PhoneProbeTest, ThePhoneManagerTakesThePortFromARunningProbe) {
    plugIn(phonesim::BuiltInScenarios::demo());
    auto gate = phone->holdAnswer(phonesim::CommandPattern("AT+CLAC"), 10s);
    std::optional<int> failure;
    bool finished = false;
    std::thread worker([&] {
        try {
            finished = probePhone(filter, found, result);
        } catch (const SerialPortException& e) {
            failure = e.code();
        }
    });
    EXPECT_TRUE(gate->waitUntilHeld(10s));
    std::optional<ModemLease> manager;
    try {
        manager.emplace(found.devicePath, 1);
    } catch (const SerialPortException& e) {
        ADD_FAILURE() << e.what();
    }
    worker.join();
    gate->release();

    EXPECT_FALSE(finished);
    EXPECT_EQ(failure, 0);
    EXPECT_EQ(result.state, DeviceState::Unsupported);
    EXPECT_EQ(result.cause.kind, causes::Cause::PortClosed);
    ASSERT_TRUE(manager.has_value());
    EXPECT_TRUE(manager->modem().port().isOpen());
}

}  // namespace
