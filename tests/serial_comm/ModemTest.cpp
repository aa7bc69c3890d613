#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "PtyPair.h"
#include "charsets/TextCodec.h"
#include "common/Event.h"
#include "serial_comm/Modem.h"

namespace {

using serial_comm::Modem;
using serial_comm::SerialPort;
using serial_comm::SerialPortException;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;
using synchronization::Event;

// A modem whose port is the slave side of a fresh pseudo-terminal; the master plays the phone.
class ModemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(modem.port().open(text_codec::fromUtf8(pty.slavePath()), 0, 0));
    }

    // Writes bytes as the phone and waits until all of them can be read from the port.
    void phoneSays(const std::string& bytes) {
        pty.writeMaster(bytes);
        const auto deadline = Clock::now() + milliseconds(2000);
        while (pty.slavePending() < bytes.size() && Clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(1));
        ASSERT_GE(pty.slavePending(), bytes.size());
    }

    // Signals `arrived` whenever bytes come from the phone.
    void traceArrivals() {
        modem.setTrace([this](bool outgoing, std::string_view) {
            if (!outgoing)
                arrived.signal();
        });
    }

    test_support::PtyPair pty;
    Modem modem;
    Event arrived{Event::Mode::AutoReset};
};

TEST_F(ModemTest, SendCommandAppendsTheLineEndAndTracesTheBytes) {
    std::string traced;
    modem.setTrace([&](bool outgoing, std::string_view bytes) {
        traced += outgoing ? ">" : "<";
        traced += bytes;
    });
    EXPECT_EQ(modem.sendCommand("AT+CPBS?"), 10u);
    EXPECT_EQ(pty.readMaster(10, milliseconds(1000)), "AT+CPBS?\r\n");

    phoneSays("\r\nOK\r\n");
    std::string answer;
    EXPECT_EQ(modem.readResponse(answer), 6u);
    EXPECT_EQ(traced, ">AT+CPBS?\r\n<\r\nOK\r\n");
}

TEST_F(ModemTest, ReadingStopsAsSoonAsAFinalResultIsComplete) {
    const std::string ok = "AT+CPBS?\r\r\n+CPBS: \"ME\",12,500\r\n\r\nOK\r\n";
    const std::string error = "AT+CPBS=\"XX\"\r\r\nERROR\r\n";
    for (const std::string& reply : {ok, error}) {
        phoneSays(reply);
        std::string answer;
        const auto start = Clock::now();
        EXPECT_EQ(modem.readResponse(answer), reply.size());
        EXPECT_LT(Clock::now() - start, milliseconds(1000));
        EXPECT_EQ(answer, reply);
    }
}

// Error reports of other makers' phones are final results: no silence is waited for. With a
// silence of ten seconds, an answer taken as incomplete would take at least that long.
TEST_F(ModemTest, AnErrorReportEndsTheAnswerAtOnce) {
    modem.setSilenceTimeout(milliseconds(10000));
    for (const std::string reply :
         {"AT+CPBR=21,30\r\r\n+CME ERROR: 22\r\n", "\r\n+CME ERROR: SIM PIN required\r\n",
          "\r\n+CMS ERROR: 500\r\n", "AT+CPROT=?\r\r\nCOMMAND NOT SUPPORT\r\n",
          "\r\n+CPBR: 1,\"030\",129,\"Ann\"\r\n+CME ERROR: invalid index\r\n"}) {
        SCOPED_TRACE(reply);
        phoneSays(reply);
        std::string answer;
        const auto start = Clock::now();
        EXPECT_EQ(modem.readResponse(answer), reply.size());
        EXPECT_LT(Clock::now() - start, milliseconds(5000));
        EXPECT_EQ(answer, reply);
    }

    // An error line that arrives in pieces ends the answer once its line end has come.
    traceArrivals();
    std::jthread phone([this] {
        pty.writeMaster("\r\n+CME ERR");
        arrived.wait(milliseconds(5000));
        pty.writeMaster("OR: 11\r");
        arrived.wait(milliseconds(5000));
        pty.writeMaster("\n");
    });
    std::string answer;
    const auto start = Clock::now();
    modem.readResponse(answer);
    EXPECT_LT(Clock::now() - start, milliseconds(5000));
    EXPECT_EQ(answer, "\r\n+CME ERROR: 11\r\n");
}

TEST_F(ModemTest, AFinalResultSplitBetweenChunksIsFound) {
    traceArrivals();
    std::jthread phone([this] {
        pty.writeMaster("+CPBR: 1,\"1\",129,\"A\"\r\n\r\nO");
        arrived.wait(milliseconds(5000));
        pty.writeMaster("K\r\n");
    });
    std::string answer;
    const auto start = Clock::now();
    modem.readResponse(answer);
    EXPECT_LT(Clock::now() - start, milliseconds(1500));
    EXPECT_EQ(answer, "+CPBR: 1,\"1\",129,\"A\"\r\n\r\nOK\r\n");
}

TEST_F(ModemTest, AChunkCountsAsTextUpToItsFirstNul) {
    traceArrivals();
    std::jthread phone([this] {
        pty.writeMaster(std::string("AB\0CD", 5));
        arrived.wait(milliseconds(5000));
        pty.writeMaster("\r\nOK\r\n");
    });
    std::string answer;
    EXPECT_EQ(modem.readResponse(answer), 11u);
    EXPECT_EQ(answer, "AB\r\nOK\r\n");
}

TEST_F(ModemTest, PausesShorterThanTheSilenceDoNotEndTheAnswer) {
    // The silence counts from the last byte, not from the start of the answer: the phone sends
    // its answer in pieces over more than the whole silence time, each pause a small part of it.
    // A pause starts only once the modem has the piece before it, so that no pause can grow
    // by the time the modem takes to get to its read.
    constexpr auto kSilence = milliseconds(1000);
    constexpr auto kPause = milliseconds(120);
    modem.setSilenceTimeout(kSilence);
    traceArrivals();
    const std::string reply = "\r\n+CGSN: 356938035643809\r\n\r\nOK\r\n";
    std::jthread phone([&] {
        for (std::size_t i = 0; i < reply.size(); i += 3) {
            pty.writeMaster(reply.substr(i, 3));
            if (i + 3 < reply.size() && arrived.wait(milliseconds(5000)))
                std::this_thread::sleep_for(kPause);
        }
    });
    std::string answer;
    const auto start = Clock::now();
    EXPECT_EQ(modem.readResponse(answer), reply.size());
    EXPECT_EQ(answer, reply);
    EXPECT_GT(Clock::now() - start, kSilence);
}

// A phone that answers after the silence ran out: its answer reaches the port while the next
// command waits for its own. Taken for that one, it would shift every later answer by one.
TEST_F(ModemTest, ALateAnswerToAnEarlierCommandIsLeftOut) {
    const std::string late = "AT+CPBR=?\r\r\n+CPBR: (1-250),40,14\r\n\r\nOK\r\n";
    const std::string failed = "AT+CPBR=1,10\r\r\nERROR\r\n";
    const std::string own = "AT+CPBS=\"SM\"\r\r\nOK\r\n";
    modem.sendCommand("AT+CPBS=\"SM\"");
    pty.readMaster(14, milliseconds(1000));

    phoneSays(late + failed + own);
    std::string answer;
    EXPECT_EQ(modem.readResponse(answer), own.size());
    EXPECT_EQ(answer, own);

    // The late answer alone, then silence: this command got no answer.
    modem.setSilenceTimeout(milliseconds(100));
    phoneSays(late);
    EXPECT_EQ(modem.readResponse(answer), 0u);
    EXPECT_EQ(answer, "");

    // A selection repeated after a silence is answered twice; the second answer comes late for
    // the command after it and is left out there.
    modem.sendCommand("AT+CPBS?");
    pty.readMaster(10, milliseconds(1000));
    const std::string fill = "AT+CPBS?\r\r\n+CPBS: \"SM\",3,250\r\n\r\nOK\r\n";
    phoneSays(own + fill);
    EXPECT_EQ(modem.readResponse(answer), fill.size());
    EXPECT_EQ(answer, fill);
}

TEST_F(ModemTest, ALateAnswerIsLeftOutWhenTheOwnAnswerComesAfterIt) {
    traceArrivals();
    modem.sendCommand("AT+CPBS?");
    pty.readMaster(10, milliseconds(1000));
    std::jthread phone([this] {
        pty.writeMaster("AT+CSCS=\"UCS2\"\r\r\nOK\r\n");
        arrived.wait(milliseconds(5000));
        pty.writeMaster("AT+CPBS?\r\r\n+CPBS: \"ME\",1,5\r\n\r\nOK\r\n");
    });
    std::string answer;
    modem.readResponse(answer);
    EXPECT_EQ(answer, "AT+CPBS?\r\r\n+CPBS: \"ME\",1,5\r\n\r\nOK\r\n");
}

// Without the echo nothing tells a late answer from this one: the text is kept as it came.
TEST_F(ModemTest, AnswersWithoutEchoAreKeptWhole) {
    modem.sendCommand("AT+CPBS?");
    pty.readMaster(10, milliseconds(1000));
    const std::string reply = "\r\nRING\r\n\r\n+CPBS: \"ME\",1,5\r\n\r\nOK\r\n";
    phoneSays(reply);
    std::string answer;
    EXPECT_EQ(modem.readResponse(answer), reply.size());
    EXPECT_EQ(answer, reply);
}

TEST_F(ModemTest, AnAnswerWithoutFinalResultEndsAfterTwoSecondsOfSilence) {
    const std::string reply = "\r\n+CPIN: READY\r\n";
    phoneSays(reply);
    std::string answer;
    const auto start = Clock::now();
    EXPECT_EQ(modem.readResponse(answer), reply.size());
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(answer, reply);
    EXPECT_GT(elapsed, milliseconds(2000));
    EXPECT_LT(elapsed, milliseconds(3000));
}

TEST_F(ModemTest, SilenceGivesZeroAfterTwoSeconds) {
    std::string answer = "left over";
    const auto start = Clock::now();
    EXPECT_EQ(modem.readResponse(answer), 0u);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(answer, "");
    EXPECT_GT(elapsed, milliseconds(2000));
    EXPECT_LT(elapsed, milliseconds(3000));
}

TEST_F(ModemTest, TheSilenceTimeoutCanBeShortened) {
    modem.setSilenceTimeout(milliseconds(100));
    std::string answer;
    const auto start = Clock::now();
    EXPECT_EQ(modem.readResponse(answer), 0u);
    const auto elapsed = Clock::now() - start;
    EXPECT_GT(elapsed, milliseconds(100));
    EXPECT_LT(elapsed, milliseconds(1500));
}

TEST_F(ModemTest, TheLinesAfterTheOkOfModeTwoAreCollected) {
    // The first read takes 511 bytes: the OK and the first line end of the tail, not the
    // second; only the echo of AT+MODE=2 makes the modem read on.
    const std::string tail = "\r\n" + std::string(600, 'x') + "\r\n";
    for (const std::string echo : {"AT+MODE=2", "AT+MODE=0"}) {
        const std::string reply = echo + "\r\r\nOK\r\n" + tail;
        phoneSays(reply);
        std::string answer;
        const std::uint32_t total = modem.readResponse(answer);
        if (echo == "AT+MODE=2") {
            EXPECT_EQ(total, reply.size());
            EXPECT_EQ(answer, reply);
        } else {
            EXPECT_EQ(total, 511u);
            EXPECT_EQ(answer, reply.substr(0, 511));
            char drain[1024];
            modem.port().read(drain, sizeof drain, nullptr, 0);
        }
    }
}

TEST_F(ModemTest, AnEndlessStreamIsCutOffAtOneMebibyte) {
    std::atomic<bool> stop{false};
    std::jthread phone([&] {
        const std::string block(4096, 'x');
        while (!stop) {
            if (::write(pty.masterFd(), block.data(), block.size()) < 0 && errno == EAGAIN) {
                pollfd pfd{pty.masterFd(), POLLOUT, 0};
                poll(&pfd, 1, 20);
            }
        }
    });
    std::string answer;
    const std::uint32_t total = modem.readResponse(answer);
    stop = true;
    EXPECT_EQ(total, serial_comm::at::kAnswerLimit);
    EXPECT_EQ(answer.size(), serial_comm::at::kAnswerLimit);
}

TEST_F(ModemTest, AnUnpluggedPhoneEndsTheWaitWithPhoneGone) {
    std::jthread phone([this] {
        std::this_thread::sleep_for(milliseconds(100));
        pty.closeMaster();
    });
    std::string answer;
    try {
        modem.readResponse(answer);
        ADD_FAILURE() << "readResponse returned";
    } catch (const SerialPortException& e) {
        EXPECT_TRUE(e.phoneGone()) << e.code();
    }
}

TEST_F(ModemTest, ClosingThePortFromAnotherThreadEndsTheWaitAndFreesThePort) {
    std::jthread other([this] {
        std::this_thread::sleep_for(milliseconds(100));
        EXPECT_TRUE(modem.port().close());
    });
    std::string answer;
    const auto start = Clock::now();
    try {
        modem.readResponse(answer);
        ADD_FAILURE() << "readResponse returned";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
    }
    EXPECT_LT(Clock::now() - start, milliseconds(1500));
    other.join();
    // Nothing of the old opening is left: the port opens again at once.
    SerialPort next;
    EXPECT_TRUE(next.open(text_codec::fromUtf8(pty.slavePath()), 0, 0));
}

TEST_F(ModemTest, ALargeWriteWaitsUntilThePhoneHasTakenEverything) {
    const std::string block(256 * 1024, 'y');
    std::string received;
    std::jthread phone([&] { received = pty.readMaster(block.size(), milliseconds(10000)); });
    std::uint32_t written = 0;
    EXPECT_EQ(modem.port().write(block.data(), static_cast<std::uint32_t>(block.size()), &written,
                                 SerialPort::kInfinite),
              block.size());
    EXPECT_EQ(written, block.size());
    phone.join();
    EXPECT_EQ(received, block);
}

}  // namespace
