// AT command round trips over a pseudo-terminal against a small responder thread: the latency
// of one command and its answer, and the CPU the waiting side spends while a phone is silent.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "CpuTime.h"
#include "charsets/TextCodec.h"
#include "serial_comm/Modem.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUp = 200;
constexpr int kRoundTrips = 5000;
constexpr const char* kSilentCommand = "AT+SILENT";

// Plays the phone on the master side: echoes each command line and answers it with a
// storage line and OK, except the silent command, which gets nothing.
class Responder {
public:
    explicit Responder(int master) : master_(master), thread_([this] { run(); }) {}
    ~Responder() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        std::string pending;
        char buffer[512];
        while (!stop_) {
            pollfd pfd{master_, POLLIN, 0};
            if (poll(&pfd, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            pending.append(buffer, static_cast<std::size_t>(n));
            std::size_t end;
            while ((end = pending.find("\r\n")) != std::string::npos) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 2);
                if (line != kSilentCommand)
                    reply(line + "\r\r\n+CPBS: \"ME\",12,500\r\n\r\nOK\r\n");
            }
        }
    }

    void reply(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd pfd{master_, POLLOUT, 0};
                poll(&pfd, 1, 50);
            }
        }
    }

    int master_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

}  // namespace

int main() {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    serial_comm::Modem modem;
    if (!modem.port().open(text_codec::fromUtf8(name), 0, 0)) {
        std::fprintf(stderr, "cannot open %s: errno %d\n", name, modem.port().lastOpenError());
        return 1;
    }
    std::vector<double> latencies;
    latencies.reserve(kRoundTrips);
    {
        Responder responder(master);
        std::string answer;
        for (int i = 0; i < kWarmUp + kRoundTrips; ++i) {
            const auto start = Clock::now();
            modem.sendCommand("AT+CPBS?");
            const std::uint32_t received = modem.readResponse(answer);
            const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
            if (received == 0 || answer.find("\r\nOK\r\n") == std::string::npos) {
                std::fprintf(stderr, "round trip %d got no complete answer\n", i);
                return 1;
            }
            if (i >= kWarmUp)
                latencies.push_back(elapsed.count());
        }

        modem.sendCommand(kSilentCommand);
        const double threadBefore = bench::threadCpuSeconds();
        const double processBefore = bench::processCpuSeconds();
        const auto start = Clock::now();
        const std::uint32_t received = modem.readResponse(answer);
        const std::chrono::duration<double> wall = Clock::now() - start;
        const double threadCpu = bench::threadCpuSeconds() - threadBefore;
        const double processCpu = bench::processCpuSeconds() - processBefore;

        std::printf("bench_at_roundtrip: AT command round trips over a pseudo-terminal\n");
        std::printf("  round trips:             %d (after %d warm-up)\n", kRoundTrips, kWarmUp);
        std::printf("  latency median:          %.1f us\n", percentile(latencies, 0.5));
        std::printf("  latency 95th percentile: %.1f us\n", percentile(latencies, 0.95));
        std::printf("  silent phone:            answer of %u bytes after %.0f ms\n", received,
                    wall.count() * 1000.0);
        std::printf("  waiting thread CPU:      %.3f ms = %.3f %% of one core (target < 5 %%)\n",
                    threadCpu * 1000.0, 100.0 * threadCpu / wall.count());
        std::printf("  whole process CPU:       %.3f ms = %.3f %% of one core\n",
                    processCpu * 1000.0, 100.0 * processCpu / wall.count());
    }
    modem.port().close();
    close(slave);
    close(master);
    return 0;
}
