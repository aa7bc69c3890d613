#include "export/PhoneBirthday.h"

#include <cstddef>

namespace {

bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads the next unsigned integer as digits without leading zeros; empty when none is there.
std::u16string readNumber(std::u16string_view text, std::size_t& pos) {
    while (pos < text.size() && isSpace(text[pos])) {
        ++pos;
    }
    std::size_t begin = pos;
    if (begin < text.size() && text[begin] == u'+') {
        ++begin;
    }
    std::size_t end = begin;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
    }
    if (end == begin) {
        return {};
    }
    pos = end;
    while (begin + 1 < end && text[begin] == u'0') {
        ++begin;
    }
    return std::u16string(text.substr(begin, end - begin));
}

std::u16string padded(std::u16string digits, std::size_t width) {
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), u'0');
    }
    return digits;
}

// The value of at most four digits.
int valueOf(const std::u16string& digits) {
    int value = 0;
    for (const char16_t digit : digits) {
        value = value * 10 + (digit - u'0');
    }
    return value;
}

int daysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

PhoneBirthday::PhoneBirthday(std::u16string_view birthday) {
    std::u16string text(birthday);
    for (char16_t& c : text) {
        if (c == u'-') {
            c = u' ';
        }
    }
    std::size_t pos = 0;
    bool readable = true;
    for (std::u16string& number : numbers_) {
        if (readable) {
            number = readNumber(text, pos);
            readable = !number.empty();
        }
        if (!readable) {
            number = u"0";
        }
    }
    complete_ = readable;
}

std::u16string PhoneBirthday::yearMonthDay() const {
    return padded(numbers_[2], 4) + u"-" + padded(numbers_[0], 2) + u"-" + padded(numbers_[1], 2);
}

std::optional<std::u16string> PhoneBirthday::date() const {
    const auto& [month, day, year] = numbers_;
    if (!complete_ || month.size() > 2 || day.size() > 2 || year.size() > 4) {
        return std::nullopt;
    }
    const int monthValue = valueOf(month);
    const int dayValue = valueOf(day);
    const int yearValue = valueOf(year);
    if (yearValue < 1 || monthValue < 1 || monthValue > 12 || dayValue < 1 ||
        dayValue > daysInMonth(monthValue, yearValue)) {
        return std::nullopt;
    }
    return yearMonthDay();
}
