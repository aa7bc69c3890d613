#include "phonebook/AtInteger.h"

#include <cstdint>
#include <limits>

namespace {

// White space as the C locale's isspace sees it.
bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int32_t atInteger(std::string_view value) {
    std::size_t position = 0;
    while (position < value.size() && isCSpace(value[position])) {
        ++position;
    }
    bool negative = false;
    if (position < value.size() && (value[position] == '+' || value[position] == '-')) {
        negative = value[position] == '-';
        ++position;
    }
    // Accumulated as a magnitude in 64 bits and stopped just past the 32-bit range.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (position < value.size() && value[position] >= '0' && value[position] <= '9') {
        magnitude = magnitude * 10 + (value[position] - '0');
        if (magnitude > kLimit) {
            magnitude = kLimit;
        }
        ++position;
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(
        magnitude > std::numeric_limits<std::int32_t>::max() ? kLimit - 1 : magnitude);
}
