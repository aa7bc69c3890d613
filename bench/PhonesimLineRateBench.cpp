// How closely the simulated phone keeps its emulated line rate: the wall time of a few
// phonebook reads at 115,200 bit/s against the wire time of the bytes exchanged (10 bits a
// byte). The tests only check that the phone is never faster than the line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "charsets/TextCodec.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/Simulator.h"
#include "serial_comm/Modem.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kBitsPerSecond = 115200;
constexpr int kRuns = 5;

// One run of reads; the ratio of wall time to wire time.
double runOnce() {
    phonesim::ScenarioGenerator::Options options;
    options.contacts = 40;
    options.extended = true;
    phonesim::Scenario scenario = phonesim::ScenarioGenerator::generate(options);
    scenario.behaviour.lineRate = static_cast<std::uint32_t>(kBitsPerSecond);
    phonesim::Simulator phone(scenario);
    serial_comm::Modem modem;
    if (!modem.port().open(text_codec::fromUtf8(phone.portPath()), 0, 0))
        throw std::runtime_error("cannot open the simulated phone's port");
    std::size_t bytes = 0;
    const auto start = Clock::now();
    for (const char* command : {"AT+MPBRE=1,10", "AT+MPBRE=11,20", "AT+MPBRE=21,30", "AT+CGMM"}) {
        bytes += modem.sendCommand(command);
        std::string answer;
        bytes += modem.readResponse(answer);
        if (answer.find("\r\nOK\r\n") == std::string::npos)
            throw std::runtime_error(std::string("no OK for ") + command);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double wire = static_cast<double>(bytes) * 10.0 / kBitsPerSecond;
    std::printf("  run: %zu bytes, wire time %.3f s, wall time %.3f s, ratio %.3f\n", bytes, wire,
                elapsed, elapsed / wire);
    return elapsed / wire;
}

}  // namespace

int main() {
    std::printf("Simulated phone at %.0f bit/s: wall time over wire time\n", kBitsPerSecond);
    double lowest = 1e9;
    double highest = 0;
    for (int i = 0; i < kRuns; ++i) {
        const double ratio = runOnce();
        lowest = std::min(lowest, ratio);
        highest = std::max(highest, ratio);
    }
    std::printf("  ratio over %d runs: %.3f to %.3f (1.000 is the exact line rate)\n", kRuns,
                lowest, highest);
    return 0;
}
