#include "serial_comm/Modem.h"

#include <algorithm>
#include <cstring>

#include "serial_comm/FinalResult.h"

namespace serial_comm {

namespace {

// The program's clock: the steady clock, with the wait in poll().
class SteadyClock final : public IModemClock {
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    void waitReadable(SerialPort& port, std::chrono::milliseconds timeout) override {
        port.waitReadable(timeout);
    }
};

IModemClock& steadyClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace

Modem::Modem() : clock_(&steadyClock()) {}

Modem::~Modem() {
    port_.close();
}

std::uint32_t Modem::sendCommand(const std::string& line) {
    std::string bytes;
    bytes.reserve(line.size() + at::kLineTerminator.size());
    bytes.append(line);
    bytes.append(at::kLineTerminator);
    lastCommand_ = line;
    if (trace_)
        trace_(true, bytes);
    return port_.write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), nullptr,
                       SerialPort::kInfinite);
}

std::uint32_t Modem::readChunk(std::string& text, std::size_t& total) {
    char chunk[at::kReadChunk];
    const auto want = static_cast<std::uint32_t>(
        std::min(at::kReadChunk, at::kAnswerLimit - std::min(total, at::kAnswerLimit)));
    if (want == 0)
        return 0;
    const std::uint32_t received = port_.read(chunk, want, nullptr, SerialPort::kInfinite);
    if (received == 0)
        return 0;
    total += received;
    if (trace_)
        trace_(false, std::string_view(chunk, received));
    // Answers hold no NUL bytes; a chunk counts as text up to its first one.
    const void* nul = std::memchr(chunk, '\0', received);
    const std::size_t length =
        nul == nullptr ? received : static_cast<std::size_t>(static_cast<const char*>(nul) - chunk);
    text.append(chunk, length);
    return received;
}

std::size_t Modem::dropLateAnswers(std::string& text) const {
    std::size_t dropped = 0;
    while (!lastCommand_.empty() && text.starts_with(at::kCommandPrefix)) {
        const std::size_t echoEnd = text.find('\r');
        if (echoEnd == std::string::npos ||
            std::string_view(text).substr(0, echoEnd) == lastCommand_)
            break;
        const std::size_t end = endOfFinalResult(text);
        if (end == std::string::npos)
            break;  // the rest of the late answer is still to come
        text.erase(0, end);
        dropped += end;
    }
    return dropped;
}

std::uint32_t Modem::readResponse(std::string& answer) {
    std::string text;
    std::size_t total = 0;
    std::size_t dropped = 0;
    bool finalResult = false;
    auto lastArrival = clock_->now();
    while (total < at::kAnswerLimit) {
        std::size_t searchFrom = text.size() - std::min(text.size(), kFinalSearchOverlap);
        if (readChunk(text, total) > 0) {
            lastArrival = clock_->now();
            if (const std::size_t late = dropLateAnswers(text); late > 0) {
                dropped += late;
                searchFrom = 0;
            }
            if (endOfFinalResult(text, searchFrom) != std::string::npos) {
                finalResult = true;
                break;
            }
            continue;
        }
        const auto silent = clock_->now() - lastArrival;
        if (silent > silenceTimeout_)
            break;
        // Sleep until bytes arrive or the silence has lasted long enough.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(silenceTimeout_ - silent) +
                          std::chrono::milliseconds(1);
        clock_->waitReadable(port_, left);
    }
    if (finalResult && text.starts_with(at::kModeTwoEcho))
        readModeTail(text, total);
    answer = std::move(text);
    return static_cast<std::uint32_t>(total - dropped);
}

void Modem::readModeTail(std::string& text, std::size_t& total) {
    const std::size_t ok = text.find(at::kFinalOk);
    if (ok == std::string::npos)
        return;
    // Two more line ends complete the tail when they have arrived already; once a read was
    // needed, reading goes on until the phone has nothing more to give.
    std::size_t position = ok + at::kFinalOk.size();
    int lineEnds = 0;
    bool readMade = false;
    for (;;) {
        if (!readMade && lineEnds >= 2)
            return;
        const std::size_t hit = text.find(at::kLineTerminator, position);
        if (hit != std::string::npos) {
            ++lineEnds;
            position = hit + 1;
            continue;
        }
        readMade = true;
        if (readChunk(text, total) == 0)
            return;
    }
}

}  // namespace serial_comm
