#include "phonesim/Simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace phonesim {
namespace {

// Longer command lines are cut here; what is left is answered like any unknown command.
constexpr std::size_t kMaxLine = 16 * 1024;

// How long to look away from a port that reports a hang-up, so as not to spin on it.
constexpr std::chrono::milliseconds kHangupBackoff{20};

}  // namespace

Simulator::Simulator(Scenario scenario)
    : scenario_(std::move(scenario)),
      portPath_(terminal_.portPath()),
      wake_(std::make_shared<WakeSignal>()),
      phone_(scenario_),
      pacer_(scenario_.behaviour.lineRate),
      thread_([this] { run(); }) {}

Simulator::~Simulator() {
    stop();
}

void Simulator::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_->notify();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool Simulator::unplug(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    unplugRequested_ = true;
    wake_->notify();
    return changed_.wait_for(lock, timeout, [this] { return ended_; });
}

void Simulator::sendUnsolicited(const std::string& text) {
    {
        const std::lock_guard lock(mutex_);
        pendingUnsolicited_.push_back("\r\n" + text + "\r\n");
    }
    wake_->notify();
}

std::shared_ptr<AnswerGate> Simulator::holdAnswer(CommandMatcher matcher,
                                                  std::chrono::milliseconds holdLimit) {
    auto gate = std::make_shared<AnswerGate>(std::move(matcher), holdLimit, wake_);
    const std::lock_guard lock(mutex_);
    if (ended_) {
        gate->finish();
    } else {
        gates_.push_back(gate);
    }
    return gate;
}

bool Simulator::hasEnded() const {
    const std::lock_guard lock(mutex_);
    return ended_;
}

bool Simulator::waitForEnd(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return ended_; });
}

bool Simulator::wasUnplugged() const {
    const std::lock_guard lock(mutex_);
    return unplugged_;
}

std::string Simulator::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void Simulator::run() {
    std::string failure;
    try {
        std::string line;
        while (nextLine(line) && answer(line)) {
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }
    end(failure);
}

void Simulator::end(const std::string& failure) {
    terminal_.close();
    std::vector<std::shared_ptr<AnswerGate>> gates;
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        failure_ = failure;
        gates.swap(gates_);
    }
    for (const auto& gate : gates) {
        gate->finish();
    }
    changed_.notify_all();
    transcript_.close();
}

bool Simulator::keepGoing() {
    const std::lock_guard lock(mutex_);
    if (stopRequested_) {
        return false;
    }
    if (unplugRequested_) {
        unplugged_ = true;
        return false;
    }
    return true;
}

bool Simulator::nextLine(std::string& line) {
    while (keepGoing()) {
        std::deque<std::string> unsolicited;
        {
            const std::lock_guard lock(mutex_);
            unsolicited.swap(pendingUnsolicited_);
        }
        for (const std::string& text : unsolicited) {
            if (!send(text)) {
                return false;
            }
        }
        // Take the bytes whose wire time has passed; a command line ends at its CR.
        const auto now = Clock::now();
        while (!input_.empty() && input_.front().second <= now) {
            const char c = input_.front().first;
            input_.pop_front();
            if (c == '\r') {
                if (lineBuffer_.empty()) {
                    continue;
                }
                line = std::move(lineBuffer_);
                lineBuffer_.clear();
                return true;
            }
            if (c != '\n' && lineBuffer_.size() < kMaxLine) {
                lineBuffer_.push_back(c);
            }
        }
        // Sleep until the next CR has fully come in, or until more bytes arrive.
        const auto cr = std::find_if(input_.begin(), input_.end(),
                                     [](const auto& byte) { return byte.first == '\r'; });
        const Events events =
            cr == input_.end() ? wait(nullptr, Watch::Input) : wait(&cr->second, Watch::Input);
        if (events.input) {
            readInput();
        }
        if (events.hangup) {
            backOff();
        }
    }
    return false;
}

bool Simulator::answer(const std::string& line) {
    transcript_.add(line);
    std::shared_ptr<AnswerGate> gate;
    {
        const std::lock_guard lock(mutex_);
        const auto claimed = std::find_if(gates_.begin(), gates_.end(),
                                          [&line](const auto& each) { return each->claim(line); });
        if (claimed != gates_.end()) {
            gate = *claimed;
            gates_.erase(claimed);
        }
    }
    if (gate) {
        const bool going = hold(*gate);
        gate->finish();
        if (!going) {
            return false;
        }
    }

    const Reply reply = phone_.handle(line);
    switch (reply.kind) {
        case Reply::Kind::Unplug: {
            const std::lock_guard lock(mutex_);
            unplugged_ = true;
            return false;
        }
        case Reply::Kind::Silence:
            return true;
        case Reply::Kind::Answer:
            break;
    }
    const auto delay = scenario_.behaviour.answerDelay;
    if (delay.count() == 0) {
        // One send: the line stays busy from the echo to the last byte, as on a real phone.
        return send(reply.echo + reply.answer + reply.unsolicited);
    }
    return send(reply.echo) && pauseUntil(Clock::now() + delay) &&
           send(reply.answer + reply.unsolicited);
}

bool Simulator::hold(AnswerGate& gate) {
    return idleWhile([&gate](Clock::time_point now) { return gate.holding(now); }, gate.deadline());
}

bool Simulator::send(const std::string& bytes) {
    const Behaviour& behaviour = scenario_.behaviour;
    const std::size_t piece = behaviour.chunkSize > 0 ? behaviour.chunkSize
                              : pacer_.paced()        ? pacer_.bytesPerWrite()
                                                      : bytes.size();
    // Within one send the line is busy without a break: each piece is due when the one before
    // it has gone out, so that late wake-ups do not add up.
    auto handedOver = Clock::now();
    for (std::size_t offset = 0; offset < bytes.size();) {
        const std::size_t size = std::min(piece, bytes.size() - offset);
        if (pacer_.paced()) {
            handedOver = pacer_.sent(size, handedOver);
            if (!pauseUntil(handedOver)) {
                return false;
            }
        }
        if (!writeAll(bytes.data() + offset, size)) {
            return false;
        }
        offset += size;
        if (behaviour.chunkPause.count() > 0 && offset < bytes.size()) {
            if (!pauseUntil(Clock::now() + behaviour.chunkPause)) {
                return false;
            }
            handedOver = Clock::now();
        }
    }
    return true;
}

bool Simulator::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(terminal_.master(), data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            bytesSent_ += static_cast<std::uint64_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The program is not reading: wait for room, or for the test to end the phone.
            const Events events = wait(nullptr, Watch::InputAndOutput);
            if (events.input) {
                readInput();
            }
            if (events.hangup && !events.output) {
                backOff();
            }
            if (events.woken && !keepGoing()) {
                return false;
            }
            continue;
        }
        throw std::system_error(errno, std::generic_category(), "write to the pseudo-terminal");
    }
    return true;
}

bool Simulator::pauseUntil(Clock::time_point deadline) {
    return idleWhile([deadline](Clock::time_point now) { return now < deadline; }, deadline);
}

bool Simulator::idleWhile(const std::function<bool(Clock::time_point now)>& waiting,
                          Clock::time_point deadline) {
    while (waiting(Clock::now())) {
        const Events events = wait(&deadline, Watch::Input);
        if (events.input) {
            readInput();
        }
        if (events.hangup) {
            backOff();
        }
        if (events.woken && !keepGoing()) {
            return false;
        }
    }
    return keepGoing();
}

void Simulator::backOff() {
    // A plain sleep: a wake-up meanwhile stays signalled for the next wait.
    std::this_thread::sleep_for(kHangupBackoff);
}

Simulator::Events Simulator::wait(const Clock::time_point* deadline, Watch watch) {
    const short portEvents = watch == Watch::InputAndOutput ? POLLIN | POLLOUT : POLLIN;
    pollfd fds[2] = {{wake_->fd(), POLLIN, 0}, {terminal_.master(), portEvents, 0}};
    timespec timeout{};
    timespec* limit = nullptr;
    if (deadline != nullptr) {
        const auto left = std::max(Clock::duration::zero(), *deadline - Clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        timeout.tv_sec = static_cast<time_t>(seconds.count());
        timeout.tv_nsec = static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count());
        limit = &timeout;
    }
    Events events;
    if (ppoll(fds, 2, limit, nullptr) < 0) {
        if (errno == EINTR) {
            return events;
        }
        throw std::system_error(errno, std::generic_category(), "poll");
    }
    if ((fds[0].revents & POLLIN) != 0) {
        wake_->clear();
        events.woken = true;
    }
    events.input = (fds[1].revents & POLLIN) != 0;
    events.output = (fds[1].revents & POLLOUT) != 0;
    events.hangup = (fds[1].revents & (POLLHUP | POLLERR)) != 0 && !events.input;
    return events;
}

void Simulator::readInput() {
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(terminal_.master(), buffer, sizeof buffer);
        if (count > 0) {
            const auto now = Clock::now();
            for (ssize_t i = 0; i < count; ++i) {
                input_.emplace_back(buffer[i], pacer_.received(now));
            }
            bytesReceived_ += static_cast<std::uint64_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        // EAGAIN: everything has been read. EIO would mean no slave end at all, which the
        // descriptor kept open by the pseudo-terminal rules out.
        return;
    }
}

}  // namespace phonesim
