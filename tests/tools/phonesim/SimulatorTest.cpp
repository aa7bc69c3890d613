#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "RawPortClient.h"
#include "phonesim/LinePacer.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/ScenarioParser.h"
#include "phonesim/Simulator.h"

namespace {

using namespace std::chrono_literals;
using phonesim::Simulator;
using test_support::RawPortClient;

constexpr const char* kPhone = R"(
[phone]
charsets = UCS2, UTF8, ASCII
extended = yes

[storage ME]
range = 1-100

[contact ME 1]
given = Anna
family = Müller
phone.mobile = +491701234567
phone.home = +49301234567

[contact ME 2]
name = Ольга
phone.mobile = +79161234567

[contact ME 15]
name = Jörg
phone.mobile = +4915112345678
)";

phonesim::Scenario scenario(const std::string& behaviour = {}) {
    auto parsed = phonesim::ScenarioParser::parse(
        std::string(kPhone) + "\n[behaviour]\n" + behaviour, "test.scn");
    EXPECT_TRUE(parsed) << parsed.error;
    return parsed ? *parsed.scenario : phonesim::Scenario{};
}

TEST(Simulator, AnswersOverThePortAndKeepsATranscript) {
    Simulator phone(scenario());
    RawPortClient port(phone.portPath());
    EXPECT_EQ(port.command("AT+CPBS?"), "AT+CPBS?\r\r\n+CPBS: \"ME\",3,100\r\n\r\nOK\r\n");
    // A command split over several writes, and a bare CR before it, are put together.
    port.sendRaw("\rAT+CP");
    port.sendRaw("BR=1,10\r\n");
    const std::string answer = port.readAnswer();
    EXPECT_EQ(answer.substr(0, 13), "AT+CPBR=1,10\r");
    EXPECT_NE(answer.find("+CPBR: 2,"), std::string::npos);
    EXPECT_EQ(port.command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(port.command("AT+CGMI"), "\r\nKorvanta\r\n\r\nOK\r\n");

    EXPECT_TRUE(phone.waitForCommand("AT+CGMI", 1, 5s));
    EXPECT_EQ(phone.transcript(),
              (std::vector<std::string>{"AT+CPBS?", "AT+CPBR=1,10", "ATE0", "AT+CGMI"}));
    EXPECT_FALSE(phone.waitForCommand("AT+CGSN", 1, 10ms));
    phone.stop();  // the counts are final once the phone's thread has ended
    EXPECT_EQ(phone.bytesReceived(), port.bytesWritten());
    EXPECT_EQ(phone.bytesSent(), port.bytesRead());
}

TEST(Simulator, LeavesTheTerminalSettingsAsTheKernelMadeThem) {
    Simulator phone(scenario());
    const int fd = open(phone.portPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    termios settings{};
    ASSERT_EQ(tcgetattr(fd, &settings), 0);
    // Canonical mode and echo are still on: a program that forgets raw mode will notice.
    EXPECT_NE(settings.c_lflag & ICANON, 0u);
    EXPECT_NE(settings.c_lflag & ECHO, 0u);
    close(fd);
}

TEST(Simulator, SendsTheTwoExtraLinesAfterTheAnswerToModeTwo) {
    Simulator phone(scenario());
    RawPortClient port(phone.portPath());
    port.send("AT+MODE=2");
    EXPECT_EQ(port.readUntil("+PBREADY\r\n", 5s), "AT+MODE=2\r\r\nOK\r\n+MODE: 2\r\n+PBREADY\r\n");
    EXPECT_EQ(port.readFor(50ms), "");
}

TEST(Simulator, UnplugsBeforeAnsweringTheReadAfterTheLastAllowedOne) {
    Simulator phone(scenario("unplug-after-reads = 2\n"));
    RawPortClient port(phone.portPath());
    EXPECT_NE(port.command("AT+MPBRE=1,10").find("OK"), std::string::npos);
    EXPECT_NE(port.command("AT+MPBRE=11,20").find("OK"), std::string::npos);
    port.send("AT+MPBRE=21,30");
    EXPECT_TRUE(port.waitForHangup(5s));
    EXPECT_TRUE(phone.waitForEnd(5s));
    EXPECT_TRUE(phone.wasUnplugged());
    EXPECT_EQ(phone.transcript().back(), "AT+MPBRE=21,30");
}

TEST(Simulator, UnplugsAtACommandOrWhenTheTestSaysSo) {
    {
        Simulator phone(scenario("unplug-at = AT+CPBS=\"SM\"\n"));
        RawPortClient port(phone.portPath());
        EXPECT_NE(port.command("AT+CPBS=\"ME\"").find("OK"), std::string::npos);
        port.send("AT+CPBS=\"SM\"");
        EXPECT_TRUE(port.waitForHangup(5s));
        EXPECT_TRUE(phone.wasUnplugged());
    }
    Simulator phone(scenario());
    RawPortClient port(phone.portPath());
    EXPECT_NE(port.command("AT").find("OK"), std::string::npos);
    EXPECT_TRUE(phone.unplug());
    EXPECT_TRUE(port.waitForHangup(5s));
    EXPECT_TRUE(phone.hasEnded());
    EXPECT_TRUE(phone.wasUnplugged());
    EXPECT_FALSE(phone.waitForCommand("AT+CGMM", 1, 5s));  // returns at once: nobody is there
}

TEST(LinePacer, GivesEachByteItsWireTimeInEachDirection) {
    using std::chrono::nanoseconds;
    phonesim::LinePacer line(115200);  // 10 bits a byte: 86,805 ns a byte
    ASSERT_TRUE(line.paced());
    EXPECT_EQ(line.byteTime(), nanoseconds(86805));
    EXPECT_EQ(line.bytesPerWrite(), 11u);  // about a millisecond of bytes
    const phonesim::LinePacer::Clock::time_point t0{};
    // Bytes arriving together come in one after the other; a later one waits for the line.
    EXPECT_EQ(line.received(t0), t0 + nanoseconds(86805));
    EXPECT_EQ(line.received(t0), t0 + nanoseconds(2 * 86805));
    EXPECT_EQ(line.received(t0 + 1s), t0 + 1s + nanoseconds(86805));
    // Sending is timed on a line of its own.
    EXPECT_EQ(line.sent(100, t0), t0 + nanoseconds(100 * 86805));
    EXPECT_EQ(line.sent(1, t0), t0 + nanoseconds(101 * 86805));

    phonesim::LinePacer none(0);
    EXPECT_FALSE(none.paced());
    EXPECT_EQ(none.received(t0 + 5s), t0 + 5s);
    EXPECT_EQ(none.sent(1000, t0), t0);
}

// The line is never faster than its rate; how close it comes to the rate is a figure of
// bench_phonesim_line_rate, since a busy machine can only make it slower.
TEST(Simulator, AnswersNoFasterThanTheEmulatedLineRate) {
    constexpr double kBitsPerSecond = 115200;
    phonesim::ScenarioGenerator::Options options;
    options.contacts = 20;
    options.extended = true;
    phonesim::Scenario big = phonesim::ScenarioGenerator::generate(options);
    big.behaviour.lineRate = 115200;
    Simulator phone(big);
    RawPortClient port(phone.portPath());
    const auto start = std::chrono::steady_clock::now();
    for (const char* command : {"AT+MPBRE=1,10", "AT+MPBRE=11,20", "AT+CGMM"}) {
        ASSERT_NE(port.command(command).find("\r\nOK\r\n"), std::string::npos) << command;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double wire =
        static_cast<double>(port.bytesWritten() + port.bytesRead()) * 10.0 / kBitsPerSecond;
    EXPECT_GT(wire, 0.1);
    // Each direction is paced byte by byte, and every command waits for the whole answer to
    // the one before. Only the LF after each command's CR, which the phone does not wait for,
    // and the byte time's rounding to whole nanoseconds may make it a little earlier.
    EXPECT_GE(elapsed, wire * 0.99) << "wire time " << wire << " s";
}

TEST(Simulator, WritesAnswersInChunksWithPauses) {
    Simulator phone(scenario("chunk-size = 1\nchunk-pause = 2 ms\nanswer-delay = 30 ms\n"));
    RawPortClient port(phone.portPath());
    const auto start = std::chrono::steady_clock::now();
    const std::string answer = port.command("AT+CGSN");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(answer, "AT+CGSN\r\r\n+CGSN: 351234567890123\r\n\r\nOK\r\n");
    // 30 ms of delay and a pause between any two of the bytes.
    EXPECT_GE(elapsed, 30ms + (answer.size() - 2) * 2ms);
}

TEST(Simulator, HoldsAnAnswerUntilTheTestReleasesIt) {
    Simulator phone(scenario());
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=11,*"), 10s);
    RawPortClient port(phone.portPath());
    EXPECT_NE(port.command("AT+CPBR=1,10").find("OK"), std::string::npos);
    port.send("AT+CPBR=11,20");
    ASSERT_TRUE(gate->waitUntilHeld(5s));
    EXPECT_EQ(gate->heldCommand(), "AT+CPBR=11,20");
    EXPECT_EQ(port.readFor(100ms), "");  // nothing while held, not even the echo
    gate->release();
    const std::string answer = port.readAnswer();
    EXPECT_EQ(answer.substr(0, 14), "AT+CPBR=11,20\r");
    EXPECT_NE(answer.find("+CPBR: 15,"), std::string::npos);
    EXPECT_FALSE(gate->isHolding());
}

TEST(Simulator, HeldAnswerGoesOutAtTheHoldLimit) {
    Simulator phone(scenario());
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CGSN"), 50ms);
    RawPortClient port(phone.portPath());
    EXPECT_NE(port.command("AT+CGSN").find("\r\nOK\r\n"), std::string::npos);
    EXPECT_TRUE(gate->waitUntilHeld(0ms));
}

TEST(Simulator, StopsPromptlyWhileHoldingOrWhileTheProgramDoesNotRead) {
    {
        Simulator phone(scenario());
        auto gate = phone.holdAnswer(phonesim::CommandPattern("AT"), 60s);
        RawPortClient port(phone.portPath());
        port.send("AT");
        ASSERT_TRUE(gate->waitUntilHeld(5s));
        const auto start = std::chrono::steady_clock::now();
        phone.stop();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
        EXPECT_TRUE(port.waitForHangup(5s));
    }
    // Answers far larger than the terminal's buffer, to a program that never reads.
    Simulator phone(scenario());
    RawPortClient port(phone.portPath());
    for (int i = 0; i < 400; ++i) {
        port.send("AT+MPBRE=1,100");
    }
    ASSERT_TRUE(phone.waitForCommand("AT+MPBRE=1,100", 2, 5s));
    const auto start = std::chrono::steady_clock::now();
    phone.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST(Simulator, SendsUnsolicitedResultCodesBetweenAnswers) {
    Simulator phone(scenario("unsolicited = after AT+CPBS? -> +CREG: 1\n"));
    RawPortClient port(phone.portPath());
    port.send("AT+CPBS?");
    EXPECT_EQ(port.readUntil("+CREG: 1\r\n", 5s),
              "AT+CPBS?\r\r\n+CPBS: \"ME\",3,100\r\n\r\nOK\r\n\r\n+CREG: 1\r\n");
    phone.sendUnsolicited("RING");
    EXPECT_EQ(port.readUntil("RING\r\n", 5s), "\r\nRING\r\n");
}

}  // namespace
