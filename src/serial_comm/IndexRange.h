#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace serial_comm {

// The first and last valid index of a phonebook or group table.
struct IndexRange {
    std::int32_t first = 0;
    std::int32_t last = 0;

    bool operator==(const IndexRange&) const = default;
};

// A range written "<first>-<last>" (a "-" after the first byte): both numbers read as atoi32
// does. Without such a "-" (none, or only one at the start) the whole text is the last index
// and the first is 0, so "500" gives 0-500.
IndexRange splitIndexRange(std::string_view text);

// The test form of a table command: AT<name>=?, e.g. AT+CPBR=? or AT+MPGR=?.
std::string indexRangeCommand(std::string_view name);

// Reads the range from a whole answer to AT+CPBR=? or AT+MPGR=?, whatever the line's prefix:
// from the answer's first ':', the range starts at the first "(" (or just after the ':' when
// there is none) and ends before the next ','; the parentheses are stripped and the text split
// as splitIndexRange() does. The values after the comma are ignored. False, with 0-0 in range,
// when the answer holds no ':' or no comma follows the start.
bool readIndexRange(std::string_view answer, IndexRange& range);

// As above, but from the answer's line with the prefix name ("+CPBR") when it has one, so that
// an unsolicited result code before it ("+CREG: 1,2", "^RSSI:14") is not taken for the range;
// an answer without such a line is read from its first ':' as above.
bool readIndexRange(std::string_view answer, std::string_view name, IndexRange& range);

}  // namespace serial_comm
