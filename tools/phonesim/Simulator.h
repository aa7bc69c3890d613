#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "phonesim/AnswerGate.h"
#include "phonesim/CommandPattern.h"
#include "phonesim/LinePacer.h"
#include "phonesim/Phone.h"
#include "phonesim/PseudoTerminal.h"
#include "phonesim/Scenario.h"
#include "phonesim/Transcript.h"
#include "phonesim/WakeSignal.h"

namespace phonesim {

// A simulated phone on a pseudo-terminal, answering AT commands in a thread of its own.
//
// Construction opens the pseudo-terminal and starts the phone: portPath() can be opened at once.
// The phone answers until stop() (or destruction), or until it is unplugged (by the scenario or
// by unplug()); either way the master side closes and the program's side of the port sees the
// phone gone. Every wait here is bounded or ends at stop(); none of the accessors blocks the
// phone.
class Simulator {
public:
    // Throws std::system_error when no pseudo-terminal can be had.
    explicit Simulator(Scenario scenario);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& portPath() const { return portPath_; }
    const Scenario& scenario() const { return scenario_; }

    // Ends the phone: its thread is joined and the port closed. Idempotent.
    void stop();

    // Pulls the plug now, even in the middle of an answer. True once the port is closed.
    bool unplug(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Sends CR LF text CR LF as soon as the phone is not answering.
    void sendUnsolicited(const std::string& text);

    // Holds the answer to the next command that matches; see AnswerGate.
    std::shared_ptr<AnswerGate> holdAnswer(CommandMatcher matcher,
                                           std::chrono::milliseconds holdLimit);

    // The command lines received so far (without their CR), and waits on them.
    std::vector<std::string> transcript() const { return transcript_.commands(); }
    std::vector<std::string> transcriptSince(std::size_t first) const {
        return transcript_.since(first);
    }
    bool waitForCommand(const CommandMatcher& matcher, std::size_t count,
                        std::chrono::milliseconds timeout) const {
        return transcript_.waitFor(matcher, count, timeout);
    }
    // The same with a pattern as scenario files write it ("AT+CPBR=*").
    bool waitForCommand(std::string_view pattern, std::size_t count,
                        std::chrono::milliseconds timeout) const {
        return transcript_.waitFor(CommandPattern(pattern), count, timeout);
    }

    // True once the phone has gone: stopped, unplugged or failed.
    bool hasEnded() const;
    bool waitForEnd(std::chrono::milliseconds timeout) const;
    // True when the phone went away by an unplug (scenario or unplug()).
    bool wasUnplugged() const;
    // Why the phone failed, when it did (a port error); empty otherwise.
    std::string failure() const;

    // Bytes that crossed the line in each direction, CR LF and echo included.
    std::uint64_t bytesReceived() const { return bytesReceived_.load(); }
    std::uint64_t bytesSent() const { return bytesSent_.load(); }

private:
    using Clock = std::chrono::steady_clock;

    struct Events {
        bool input = false;
        bool output = false;
        bool hangup = false;
        bool woken = false;
    };
    enum class Watch { Input, InputAndOutput };

    // The phone's thread and what only it touches.
    void run();
    bool nextLine(std::string& line);
    bool answer(const std::string& line);
    bool hold(AnswerGate& gate);
    bool send(const std::string& bytes);
    bool writeAll(const char* data, std::size_t size);
    bool pauseUntil(Clock::time_point deadline);
    // Takes in what the program sends and watches for the end of the phone while waiting(now)
    // holds, sleeping until deadline at the most; false when the phone is to end.
    bool idleWhile(const std::function<bool(Clock::time_point now)>& waiting,
                   Clock::time_point deadline);
    Events wait(const Clock::time_point* deadline, Watch watch);
    void backOff();
    void readInput();
    bool keepGoing();
    void end(const std::string& failure);

    const Scenario scenario_;
    PseudoTerminal terminal_;  // the phone's thread closes it
    const std::string portPath_;
    const std::shared_ptr<WakeSignal> wake_;
    Transcript transcript_;
    std::atomic<std::uint64_t> bytesReceived_{0};
    std::atomic<std::uint64_t> bytesSent_{0};

    // Shared with the phone's thread, under mutex_.
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopRequested_ = false;
    bool unplugRequested_ = false;
    bool unplugged_ = false;
    bool ended_ = false;
    std::string failure_;
    std::deque<std::string> pendingUnsolicited_;
    std::vector<std::shared_ptr<AnswerGate>> gates_;

    // The phone's thread only.
    Phone phone_;
    LinePacer pacer_;
    std::deque<std::pair<char, Clock::time_point>> input_;  // bytes with the time they are in
    std::string lineBuffer_;

    std::thread thread_;  // last: starts when everything above is ready
};

}  // namespace phonesim
