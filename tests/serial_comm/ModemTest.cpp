#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "PtyPair.h"
#include "charsets/TextCodec.h"
#include "serial_comm/IModemClock.h"
#include "serial_comm/Modem.h"

namespace {

using serial_comm::IModemClock;
using serial_comm::Modem;
using serial_comm::SerialPort;
using serial_comm::SerialPortException;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

// Writes bytes as the phone and returns once all of them can be read from the port.
void phoneSays(test_support::PtyPair& pty, const std::string& bytes) {
    pty.writeMaster(bytes);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (pty.slavePending() < bytes.size() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_GE(pty.slavePending(), bytes.size());
}

// The phone's side on a made-up timeline. The test says what the phone does at which time; the
// modem's clock stands still while it reads, and a wait of the modem ends at once when bytes are
// there, else at the phone's next step if it comes within the wait (the clock moves on to it),
// else after the whole wait (the clock moves on by it). Nothing really waits.
class ScriptedClock final : public IModemClock {
public:
    using Step = std::function<void(SerialPort&)>;

    explicit ScriptedClock(test_support::PtyPair& pty) : pty_(pty) {}

    // The phone sends bytes at the given time since the start.
    void at(milliseconds when, std::string bytes) {
        at(when, [this, bytes = std::move(bytes)](SerialPort&) { phoneSays(pty_, bytes); });
    }
    // The phone (or the test) does something at the given time since the start.
    void at(milliseconds when, Step step) { script_.push_back({start_ + when, std::move(step)}); }

    TimePoint now() override { return now_; }

    void waitReadable(SerialPort& port, milliseconds timeout) override {
        // A modem that waits again and again without the time moving on would never end.
        if (waits_.size() == kMostWaits)
            throw std::runtime_error("the modem waited " + std::to_string(kMostWaits) + " times");
        waits_.push_back(timeout);
        if (port.waitReadable(0ms))
            return;
        const TimePoint deadline = now_ + timeout;
        if (script_.empty() || script_.front().when > deadline) {
            now_ = deadline;
            return;
        }
        Scripted next = std::move(script_.front());
        script_.pop_front();
        now_ = std::max(now_, next.when);
        next.step(port);
        port.waitReadable(0ms);  // a hang-up is seen here
    }

    milliseconds elapsed() const { return std::chrono::duration_cast<milliseconds>(now_ - start_); }
    // The time-out of every wait the modem made.
    const std::vector<milliseconds>& waits() const { return waits_; }

private:
    static constexpr std::size_t kMostWaits = 10000;

    struct Scripted {
        TimePoint when;
        Step step;
    };

    test_support::PtyPair& pty_;
    const TimePoint start_ = TimePoint() + std::chrono::hours(1);
    TimePoint now_ = start_;
    std::deque<Scripted> script_;
    std::vector<milliseconds> waits_;
};

// A modem whose port is the slave side of a fresh pseudo-terminal; the master plays the phone
// on the scripted clock.
class ModemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(modem.port().open(text_codec::fromUtf8(pty.slavePath()), 0, 0));
    }

    void phoneSays(const std::string& bytes) { ::phoneSays(pty, bytes); }

    test_support::PtyPair pty;
    ScriptedClock clock{pty};
    Modem modem{clock};
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
        EXPECT_EQ(modem.readResponse(answer), reply.size());
        EXPECT_EQ(answer, reply);
    }
    EXPECT_TRUE(clock.waits().empty());
}

// Pieces of an answer that come while the modem waits: a final result split between two reads,
// a NUL byte that ends a read's text, a late answer to an earlier command before the own one.
TEST_F(ModemTest, AnAnswerInPiecesIsCollectedUntilItsFinalResult) {
    struct Case {
        const char* what;
        std::string command;
        std::vector<std::string> pieces;
        std::string answer;
        std::uint32_t received;
    };
    const Case cases[] = {
        {"final result split",
         "",
         {"+CPBR: 1,\"1\",129,\"A\"\r\n\r\nO", "K\r\n"},
         "+CPBR: 1,\"1\",129,\"A\"\r\n\r\nOK\r\n",
         28},
        {"NUL byte", "", {std::string("AB\0CD", 5), "\r\nOK\r\n"}, "AB\r\nOK\r\n", 11},
        {"late answer first",
         "AT+CPBS?",
         {"AT+CSCS=\"UCS2\"\r\r\nOK\r\n", "AT+CPBS?\r\r\n+CPBS: \"ME\",1,5\r\n\r\nOK\r\n"},
         "AT+CPBS?\r\r\n+CPBS: \"ME\",1,5\r\n\r\nOK\r\n",
         34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::PtyPair phone;
        ScriptedClock timeline(phone);
        Modem piecewise(timeline);
        ASSERT_TRUE(piecewise.port().open(text_codec::fromUtf8(phone.slavePath()), 0, 0));
        if (!c.command.empty()) {
            piecewise.sendCommand(c.command);
            phone.readMaster(c.command.size() + 2, milliseconds(1000));
        }
        ::phoneSays(phone, c.pieces[0]);
        timeline.at(10ms, c.pieces[1]);
        std::string answer;
        EXPECT_EQ(piecewise.readResponse(answer), c.received);
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(timeline.elapsed(), 10ms);
    }
}

// Error reports of other makers' phones are final results: no silence is waited for, also
// when the error line comes in pieces (it ends the answer once its line end has come).
TEST_F(ModemTest, AnErrorReportEndsTheAnswerAtOnce) {
    for (const std::string reply :
         {"AT+CPBR=21,30\r\r\n+CME ERROR: 22\r\n", "\r\n+CME ERROR: SIM PIN required\r\n",
          "\r\n+CMS ERROR: 500\r\n", "AT+CPROT=?\r\r\nCOMMAND NOT SUPPORT\r\n",
          "\r\n+CPBR: 1,\"030\",129,\"Ann\"\r\n+CME ERROR: invalid index\r\n"}) {
        SCOPED_TRACE(reply);
        phoneSays(reply);
        std::string answer;
        EXPECT_EQ(modem.readResponse(answer), reply.size());
        EXPECT_EQ(answer, reply);
    }
    EXPECT_TRUE(clock.waits().empty());

    phoneSays("\r\n+CME ERR");
    clock.at(10ms, "OR: 11\r");
    clock.at(20ms, "\n");
    std::string answer;
    modem.readResponse(answer);
    EXPECT_EQ(answer, "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(clock.elapsed(), 20ms);
}

TEST_F(ModemTest, PausesShorterThanTheSilenceDoNotEndTheAnswer) {
    // The silence counts from the last byte, not from the start of the answer: the phone sends
    // its answer in pieces, each pause a little shorter than the silence.
    const std::string reply = "\r\n+CGSN: 356938035643809\r\n\r\nOK\r\n";
    for (std::size_t i = 0; i < reply.size(); i += 8)
        clock.at(1990ms * static_cast<int>(i / 8), reply.substr(i, 8));
    std::string answer;
    EXPECT_EQ(modem.readResponse(answer), reply.size());
    EXPECT_EQ(answer, reply);
    EXPECT_EQ(clock.elapsed(), 1990ms * 3);
}

TEST_F(ModemTest, TheSilenceEndsTheAnswerTwoSecondsAfterTheLastByte) {
    // An answer without final result, one that never comes, and one whose end comes too late:
    // each ends when the phone has been silent for longer than two seconds since its last byte.
    struct Case {
        const char* what;
        std::vector<std::pair<milliseconds, std::string>> pieces;
        std::string answer;
        milliseconds ended;
    };
    const Case cases[] = {
        {"no final result", {{0ms, "\r\n+CPIN: READY\r\n"}}, "\r\n+CPIN: READY\r\n", 2001ms},
        {"silence", {}, "", 2001ms},
        {"too late",
         {{0ms, "\r\n+CGSN: 35"}, {2500ms, "6938035643809\r\n\r\nOK\r\n"}},
         "\r\n+CGSN: 35",
         2001ms},
        {"after a pause",
         {{0ms, "\r\n+CGSN: 35"}, {1500ms, "69380\r\n"}},
         "\r\n+CGSN: 3569380\r\n",
         3501ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test_support::PtyPair phone;
        ScriptedClock timeline(phone);
        Modem silent(timeline);
        ASSERT_TRUE(silent.port().open(text_codec::fromUtf8(phone.slavePath()), 0, 0));
        for (const auto& [when, bytes] : c.pieces)
            timeline.at(when, bytes);
        std::string answer = "left over";
        EXPECT_EQ(silent.readResponse(answer), c.answer.size());
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(timeline.elapsed(), c.ended);
    }
}

TEST_F(ModemTest, TheSilenceTimeoutCanBeChanged) {
    const std::string piece = "\r\n+CPBS: \"SM\"";
    for (const milliseconds silence : {100ms, 60000ms}) {
        modem.setSilenceTimeout(silence);
        clock.at(clock.elapsed() + silence - 10ms, piece);
        std::string answer;
        EXPECT_EQ(modem.readResponse(answer), piece.size());
        EXPECT_EQ(answer, piece);
    }
    EXPECT_EQ(clock.elapsed(), 90ms + 101ms + 59990ms + 60001ms);
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
    EXPECT_TRUE(clock.waits().empty());
}

// On the steady clock, with a phone that never pauses.
TEST_F(ModemTest, AnEndlessStreamIsCutOffAtOneMebibyte) {
    modem.port().close();
    Modem steady;
    ASSERT_TRUE(steady.port().open(text_codec::fromUtf8(pty.slavePath()), 0, 0));
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
    const std::uint32_t total = steady.readResponse(answer);
    stop = true;
    EXPECT_EQ(total, serial_comm::at::kAnswerLimit);
    EXPECT_EQ(answer.size(), serial_comm::at::kAnswerLimit);
}

TEST_F(ModemTest, AnUnpluggedPhoneEndsTheWaitWithPhoneGone) {
    phoneSays("\r\n+CPBR: 1,");
    clock.at(1500ms, [this](SerialPort&) { pty.closeMaster(); });
    std::string answer;
    try {
        modem.readResponse(answer);
        ADD_FAILURE() << "readResponse returned";
    } catch (const SerialPortException& e) {
        EXPECT_TRUE(e.phoneGone()) << e.code();
    }
    EXPECT_EQ(clock.elapsed(), 1500ms);
}

// Whether the thread is asleep in a system call (state S in /proc); false once it has ended.
bool sleeping(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const std::size_t name = line.rfind(')');
    return name != std::string::npos && line.compare(name, 3, ") S") == 0;
}

TEST_F(ModemTest, ClosingThePortFromAnotherThreadEndsTheWaitAndFreesThePort) {
    // The modem's thread waits in poll() without limit; the other thread closes the port once
    // that thread sleeps there.
    std::jthread other;
    std::atomic<bool> closed{false};
    clock.at(0ms, [&](SerialPort& port) {
        const auto waiting = static_cast<pid_t>(::syscall(SYS_gettid));
        other = std::jthread([&, waiting] {
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (!sleeping(waiting) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            closed = modem.port().close();
        });
        port.waitReadable(milliseconds(-1));
    });
    std::string answer;
    try {
        modem.readResponse(answer);
        ADD_FAILURE() << "readResponse returned";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
    }
    other.join();
    EXPECT_TRUE(closed);
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
