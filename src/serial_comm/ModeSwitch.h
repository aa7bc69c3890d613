#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace serial_comm {

class Modem;

// The phonebook is read in mode 2 of the phone's command interpreter; mode 0 is where the phone
// is left when the program has done with it.
inline constexpr std::string_view kReadingMode = "2";
inline constexpr std::string_view kIdleMode = "0";

// The phone needs a moment after each mode switch before it takes the next command.
inline constexpr std::chrono::milliseconds kModeSwitchPause{500};

// What the switch makes of the phone's answers.
enum class ModeAnswers {
    Ignored,     // every step runs, whatever the phone answers
    MustHoldOk,  // stop at a silent AT+MODE?, or a switch whose answer holds no "OK"
};

struct ModeSwitchOutcome {
    // Every step ran (with ModeAnswers::MustHoldOk: and every answer was as it must be).
    bool completed = false;
    // The mode the phone reported to AT+MODE?, as received; "2" when that answer did not parse
    // to success or carried no "+MODE" value.
    std::string modeRead{kReadingMode};
    // The phone was in mode 2 and was set to mode 0 first.
    bool wentThroughIdle = false;
    // Why a switch with ModeAnswers::MustHoldOk stopped short: the phone said nothing to the
    // last command sent, or it answered a switch with a final failure (ERROR, +CME ERROR: ...),
    // as a phone does that has no such modes.
    bool silent = false;
    bool refused = false;
};

// Puts the phone into mode 2: asks AT+MODE?; when the phone is (or is taken to be) in mode 2,
// first AT+MODE=0, its answer, a pause; then AT+MODE=2, a pause, and its answer (the modem
// collects the lines that follow it). So the phone always switches into mode 2 afresh. pause
// is kModeSwitchPause; tests shorten it. With ModeAnswers::MustHoldOk a refused AT+MODE=0 ends
// the switch before its pause. SerialPortException passes through.
ModeSwitchOutcome switchToReadingMode(Modem& modem, ModeAnswers answers,
                                      std::chrono::milliseconds pause = kModeSwitchPause);

// Sends AT+MODE=0 and reads the answer; true when it holds "OK". SerialPortException passes
// through.
bool switchToIdleMode(Modem& modem);

}  // namespace serial_comm
