#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace phonesim {

// The timing of a serial line at a given rate, 10 bits a byte (start, 8 data, stop), kept for
// each direction: a byte counts as received only when its wire time has passed after the one
// before it, and bytes sent leave no faster than the line carries them.
class LinePacer {
public:
    using Clock = std::chrono::steady_clock;

    // 0 bits per second: no line at all, everything is immediate.
    explicit LinePacer(std::uint32_t bitsPerSecond);

    bool paced() const { return byteTime_.count() > 0; }
    Clock::duration byteTime() const { return byteTime_; }

    // When a byte that reached the phone's side at `arrival` has fully come in.
    Clock::time_point received(Clock::time_point arrival);

    // When `bytes` bytes handed to the line at `now` have fully gone out.
    Clock::time_point sent(std::size_t bytes, Clock::time_point now);

    // How many bytes to write at once so that each write stands for about a millisecond.
    std::size_t bytesPerWrite() const;

private:
    Clock::duration byteTime_;
    std::uint32_t bitsPerSecond_;
    Clock::time_point inputFree_{};
    Clock::time_point outputFree_{};
};

}  // namespace phonesim
