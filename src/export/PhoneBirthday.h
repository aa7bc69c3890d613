#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A birthday as the phone sends it, month-day-year ("12-25-1980"), read by one rule for every
// layout: each "-" counts as a blank, then three whole numbers are read in order (blanks before
// each, an optional "+"); once one cannot be read, it and all after it count as 0.
class PhoneBirthday {
public:
    explicit PhoneBirthday(std::u16string_view text);

    // Year-month-day, the year padded with zeros to four digits and the others to two (wider
    // numbers in full): "1980-12-25", or "0000-00-00" for text without numbers.
    std::u16string yearMonthDay() const;

    // The same when all three numbers were read and name a day of the Gregorian calendar in the
    // years 1 to 9999; none otherwise.
    std::optional<std::u16string> date() const;

private:
    // month, day and year: digits without leading zeros, "0" for a number not read
    std::array<std::u16string, 3> numbers_;
    bool complete_ = false;  // all three were read
};
