#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "phonebook/AtInteger.h"

namespace {

TEST(AtInteger, ReadsLikeAtoiWithoutOverflow) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        std::string value;
        std::int32_t expected;
    } cases[] = {
        {"129", 129},
        {" \t\r\n\v\f-12", -12},
        {"+7", 7},
        {"18abc", 18},
        {"", 0},
        {"abc", 0},
        {"\"128\"", 0},
        {"- 5", 0},
        {"--5", 0},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {std::string(5000, '9'), kMax},
        {"-" + std::string(40, '9'), kMin},
        {"0000000000000000000042", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(atInteger(c.value), c.expected) << c.value.substr(0, 40);
}

}  // namespace
