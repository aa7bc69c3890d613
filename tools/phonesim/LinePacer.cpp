#include "phonesim/LinePacer.h"

#include <algorithm>

namespace phonesim {

LinePacer::LinePacer(std::uint32_t bitsPerSecond)
    : byteTime_(bitsPerSecond == 0
                    ? Clock::duration::zero()
                    : std::chrono::duration_cast<Clock::duration>(
                          std::chrono::nanoseconds(10'000'000'000LL / bitsPerSecond))),
      bitsPerSecond_(bitsPerSecond) {}

LinePacer::Clock::time_point LinePacer::received(Clock::time_point arrival) {
    if (!paced()) {
        return arrival;
    }
    inputFree_ = std::max(inputFree_, arrival) + byteTime_;
    return inputFree_;
}

LinePacer::Clock::time_point LinePacer::sent(std::size_t bytes, Clock::time_point now) {
    if (!paced()) {
        return now;
    }
    outputFree_ = std::max(outputFree_, now) + byteTime_ * static_cast<long long>(bytes);
    return outputFree_;
}

std::size_t LinePacer::bytesPerWrite() const {
    return std::max<std::size_t>(1, bitsPerSecond_ / 10 / 1000);
}

}  // namespace phonesim
