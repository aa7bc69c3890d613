#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace serial_comm {

// The result code that ends a phone's answer. Besides "OK" and "ERROR", phones report errors of
// the mobile equipment and of the message service as "+CME ERROR: <n>" and "+CMS ERROR: <n>",
// with a number or, after AT+CMEE=2, a text ("+CME ERROR: SIM PIN required"); some modems say
// "COMMAND NOT SUPPORT" for a command they do not know. Each of these ends an answer at once.
struct FinalResult {
    enum class Kind {
        None,            // no final result line
        Ok,              // OK
        Error,           // ERROR
        EquipmentError,  // +CME ERROR: <n>
        MessageError,    // +CMS ERROR: <n>
        NotSupported,    // COMMAND NOT SUPPORT
    };

    Kind kind = Kind::None;
    // What follows the colon of +CME ERROR and +CMS ERROR, blanks trimmed: "22", "not found".
    std::string detail;

    bool succeeded() const { return kind == Kind::Ok; }
    bool failed() const { return kind != Kind::None && kind != Kind::Ok; }

    // The error number of a +CME ERROR or +CMS ERROR whose detail is a decimal number.
    std::optional<int> code() const;

    bool operator==(const FinalResult&) const = default;
};

// The first final result line of a whole answer: a line that is exactly "OK", "ERROR" or
// "COMMAND NOT SUPPORT", or that starts with "+CME ERROR:" or "+CMS ERROR:". Kind::None when
// the answer holds none of them.
FinalResult finalResultOf(std::string_view answer);

// Where the first final result that ends the reading of an answer ends in text, searching at
// or after from: "\r\nOK\r\n" or "\r\nERROR\r\n" anywhere, or a line after "\r\n" that is
// "COMMAND NOT SUPPORT" or starts with "+CME ERROR:" or "+CMS ERROR:", once its "\r\n" has
// come (such a line counts only up to kMaxErrorLine bytes). npos when none is complete yet.
std::size_t endOfFinalResult(std::string_view text, std::size_t from = 0);

// The longest error line endOfFinalResult() takes for a final result. A reader that searches
// text as it grows may start kFinalSearchOverlap bytes before the end of what it searched
// before and find everything a search of the whole text would.
inline constexpr std::size_t kMaxErrorLine = 256;
inline constexpr std::size_t kFinalSearchOverlap = kMaxErrorLine + 4;

}  // namespace serial_comm
