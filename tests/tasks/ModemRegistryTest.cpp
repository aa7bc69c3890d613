#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "causes/CauseTable.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/Modem.h"
#include "serial_comm/SerialPortException.h"
#include "tasks/ModemLease.h"
#include "tasks/ModemRegistry.h"

namespace {

using namespace std::chrono_literals;
using serial_comm::Modem;
using serial_comm::SerialPortException;
using Clock = std::chrono::steady_clock;

// Sends one command line and returns the phone's whole answer.
std::string ask(Modem& modem, const std::string& line) {
    modem.sendCommand(line);
    std::string answer;
    modem.readResponse(answer);
    return answer;
}

// The code of the SerialPortException that the next command on the modem throws, if any.
std::optional<int> failureOfNextCommand(Modem& modem) {
    try {
        ask(modem, "AT");
    } catch (const SerialPortException& e) {
        return e.code();
    }
    return std::nullopt;
}

// What the port is refused with while this program (or another one) holds it: the kernel
// refuses the exclusive terminal (EBUSY), or, for a privileged user, the lock is held.
bool heldElsewhere(int error) {
    return error == EBUSY || error == EWOULDBLOCK;
}

class ModemRegistryTest : public ::testing::Test {
protected:
    phonesim::Simulator phone{phonesim::BuiltInScenarios::demo()};
    const std::u16string port = text_codec::fromUtf8(phone.portPath());
    ModemRegistry& registry = ModemRegistry::instance();
};

TEST_F(ModemRegistryTest, HigherPriorityTakesThePortAndTheDisplacedHolderReleasesIt) {
    Modem* probe = registry.acquire(port, 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_NE(ask(*probe, "AT+CGSN").find("351234567890123"), std::string::npos);

    int openError = -1;
    Modem* manager = registry.acquire(port, 1, &openError);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(openError, 0);
    EXPECT_NE(manager, probe);

    EXPECT_FALSE(probe->port().isOpen());
    EXPECT_EQ(failureOfNextCommand(*probe), 0);
    EXPECT_NE(ask(*manager, "AT+CGMM").find("MODEL=Z3"), std::string::npos);

    EXPECT_TRUE(registry.release(port, probe));
    EXPECT_FALSE(registry.release(port, probe));  // deleted already
    EXPECT_NE(ask(*manager, "AT+CGSN").find("351234567890123"), std::string::npos);
    EXPECT_TRUE(registry.release(port, manager));
    EXPECT_FALSE(registry.release(port, manager));
}

TEST_F(ModemRegistryTest, AnEqualOrLowerPriorityGetsNothingWhileThePortIsHeld) {
    struct Case {
        int holder;
        int contender;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{1, 0}}) {
        SCOPED_TRACE(testing::Message() << "holder " << c.holder << ", contender " << c.contender);
        Modem* holder = registry.acquire(port, c.holder);
        ASSERT_NE(holder, nullptr);

        int openError = 0;
        EXPECT_EQ(registry.acquire(port, c.contender, &openError), nullptr);
        EXPECT_TRUE(heldElsewhere(openError)) << openError;
        try {
            ModemLease lease(port, c.contender);
            ADD_FAILURE() << "the lease got a port that is held";
        } catch (const SerialPortException& e) {
            EXPECT_EQ(e.code(), 0);
            EXPECT_TRUE(heldElsewhere(e.openError())) << e.openError();
            EXPECT_EQ(causes::causeOfOpenError(e.openError()), causes::Cause::Busy);
        }

        // Nothing was taken away from the holder.
        EXPECT_TRUE(holder->port().isOpen());
        EXPECT_NE(ask(*holder, "AT+CGMM").find("MODEL=Z3"), std::string::npos);
        EXPECT_TRUE(registry.release(port, holder));
    }
}

TEST_F(ModemRegistryTest, APortTakenAwayTwiceKeepsBothDisplacedModems) {
    Modem* first = registry.acquire(port, 0);
    ASSERT_NE(first, nullptr);
    Modem* second = registry.acquire(port, 1);
    ASSERT_NE(second, nullptr);
    Modem* third = registry.acquire(port, 2);
    ASSERT_NE(third, nullptr);

    EXPECT_EQ(failureOfNextCommand(*first), 0);
    EXPECT_EQ(failureOfNextCommand(*second), 0);
    EXPECT_NE(ask(*third, "AT+CGMM").find("MODEL=Z3"), std::string::npos);

    // Each displaced modem is found by its own holder, in whatever order they release.
    EXPECT_TRUE(registry.release(port, second));
    EXPECT_FALSE(registry.release(port, second));
    EXPECT_TRUE(registry.release(port, first));
    EXPECT_FALSE(registry.release(port, first));
    EXPECT_TRUE(registry.release(port, third));
}

TEST_F(ModemRegistryTest, ReleaseFindsOnlyTheModemRegisteredUnderTheName) {
    Modem* modem = registry.acquire(port, 0);
    ASSERT_NE(modem, nullptr);
    Modem stranger;
    EXPECT_FALSE(registry.release(port, &stranger));
    EXPECT_FALSE(registry.release(port, nullptr));
    EXPECT_FALSE(registry.release(port + u"-other", modem));
    EXPECT_TRUE(modem->port().isOpen());
    EXPECT_TRUE(registry.release(port, modem));
}

TEST_F(ModemRegistryTest, ClosingAllPortsKeepsTheModemsUntilTheirHoldersRelease) {
    phonesim::Simulator secondPhone{phonesim::BuiltInScenarios::load("standard-ucs2")};
    const std::u16string secondPort = text_codec::fromUtf8(secondPhone.portPath());
    Modem* manager = registry.acquire(port, 1);
    Modem* probe = registry.acquire(secondPort, 0);
    ASSERT_NE(manager, nullptr);
    ASSERT_NE(probe, nullptr);

    registry.closeAllPorts();
    EXPECT_EQ(failureOfNextCommand(*manager), 0);
    EXPECT_EQ(failureOfNextCommand(*probe), 0);

    // The closed modem still holds its name against an equal priority.
    int openError = 0;
    EXPECT_EQ(registry.acquire(secondPort, 0, &openError), nullptr);
    EXPECT_EQ(openError, EBUSY);

    EXPECT_TRUE(registry.release(port, manager));
    EXPECT_TRUE(registry.release(secondPort, probe));

    // Released, the ports can be had again.
    Modem* again = registry.acquire(secondPort, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(registry.release(secondPort, again));
}

TEST_F(ModemRegistryTest, ALeaseHoldsThePortUntilItIsDestroyed) {
    {
        ModemLease lease(port, 0);
        EXPECT_EQ(lease.portName(), port);
        EXPECT_NE(ask(lease.modem(), "AT+CGMM").find("MODEL=Z3"), std::string::npos);
        EXPECT_EQ(registry.acquire(port, 0), nullptr);
    }
    Modem* after = registry.acquire(port, 0);
    ASSERT_NE(after, nullptr);
    EXPECT_TRUE(registry.release(port, after));
}

TEST_F(ModemRegistryTest, ALeaseOnAMissingPortCarriesWhyItCouldNotBeOpened) {
    try {
        ModemLease lease(u"/dev/contaxio-no-such-port", 1);
        ADD_FAILURE() << "a missing port was leased";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
        EXPECT_EQ(e.openError(), ENOENT);
        EXPECT_FALSE(e.phoneGone());
    }
}

// The phone manager takes the port while the probe, on its own thread, waits for an answer:
// the wait ends at once with the port closed, and the probe's lease finds its displaced modem.
TEST_F(ModemRegistryTest, DisplacingAHolderThatIsReadingEndsItsReadPromptly) {
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CGMM"), 20s);
    std::optional<int> failure;
    Clock::duration readTime{};
    bool leased = false;
    std::thread probe([&] {
        try {
            ModemLease lease(port, 0);
            leased = true;
            lease->setSilenceTimeout(60s);  // only the displacement can end this read soon
            const auto start = Clock::now();
            try {
                ask(lease.modem(), "AT+CGMM");
            } catch (const SerialPortException& e) {
                failure = e.code();
            }
            readTime = Clock::now() - start;
        } catch (const SerialPortException&) {
            // leased stays false
        }
    });

    EXPECT_TRUE(gate->waitUntilHeld(10s));  // the probe is waiting for its answer
    Modem* manager = registry.acquire(port, 1);
    probe.join();
    gate->release();

    ASSERT_TRUE(leased);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(failure, 0);
    EXPECT_LT(readTime, 30s);
    EXPECT_TRUE(manager->port().isOpen());
    EXPECT_TRUE(registry.release(port, manager));
}

}  // namespace

namespace {

// Every modem acquired while a trace is set sees its bytes go through it, both ways; modems
// acquired after it was removed do not.
TEST_F(ModemRegistryTest, ModemsAcquiredWhileATraceIsSetTraceTheirBytes) {
    std::string sent;
    std::string received;
    registry.setTrace([&sent, &received](bool outgoing, std::string_view bytes) {
        (outgoing ? sent : received) += std::string(bytes);
    });
    Modem* traced = registry.acquire(port, 0);
    ASSERT_NE(traced, nullptr);
    const std::string answer = ask(*traced, "AT+CGMM");
    registry.setTrace({});
    EXPECT_EQ(sent, "AT+CGMM\r\n");
    EXPECT_EQ(received, answer);
    EXPECT_NE(answer.find("OK"), std::string::npos);
    EXPECT_TRUE(registry.release(port, traced));

    sent.clear();
    received.clear();
    Modem* untraced = registry.acquire(port, 0);
    ASSERT_NE(untraced, nullptr);
    ask(*untraced, "AT+CGMM");
    EXPECT_EQ(sent + received, "");
    EXPECT_TRUE(registry.release(port, untraced));
}

}  // namespace
