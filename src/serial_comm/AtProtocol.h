#pragma once

#include <chrono>
#include <cstddef>
#include <string_view>

// The fixed bytes and timings of the phone's AT command protocol, in one place.
namespace serial_comm::at {

inline constexpr std::string_view kCommandPrefix = "AT";
inline constexpr std::string_view kSetSeparator = "=";
inline constexpr std::string_view kQueryMark = "?";
inline constexpr std::string_view kLineTerminator = "\r\n";

// Either of these anywhere in the collected text ends the reading of an answer (and so does a
// whole error line, see FinalResult.h).
inline constexpr std::string_view kFinalOk = "\r\nOK\r\n";
inline constexpr std::string_view kFinalError = "\r\nERROR\r\n";

// Whole answer lines that report the outcome of a command.
inline constexpr std::string_view kResultOk = "OK";
inline constexpr std::string_view kResultError = "ERROR";
// Errors of the mobile equipment and of the message service, numbered or in words, and one
// modem maker's word for a command it does not know: final results too (see FinalResult.h).
inline constexpr std::string_view kEquipmentErrorPrefix = "+CME ERROR:";
inline constexpr std::string_view kMessageErrorPrefix = "+CMS ERROR:";
inline constexpr std::string_view kResultNotSupported = "COMMAND NOT SUPPORT";

// The phone's echo of the command that switches it to mode 2; the phone sends a few more lines
// after the final result of that command.
inline constexpr std::string_view kModeTwoEcho = "AT+MODE=2";

// Cutting an answer into lines, and a line's text into values.
inline constexpr std::string_view kLineSeparators = "\r\n";
inline constexpr std::string_view kValueSeparators = ", ";
inline constexpr std::string_view kValueQuotes = "\"()";
inline constexpr char kPrefixEnd = ':';

// An answer ends after this much silence since the last byte arrived.
inline constexpr std::chrono::milliseconds kSilenceTimeout{2000};

// Bytes asked of the port per read.
inline constexpr std::size_t kReadChunk = 511;

// The most bytes one answer may hold; a device that streams without end is cut off here.
inline constexpr std::size_t kAnswerLimit = 1024 * 1024;

}  // namespace serial_comm::at
