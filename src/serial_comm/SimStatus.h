#pragma once

#include <string>
#include <string_view>

#include "serial_comm/FinalResult.h"

namespace serial_comm {

// Whether the SIM waits for its PIN (or its PUK) before the phone lets its phonebook be read.
// The program never sends a PIN: the person unlocks the SIM on the phone.

std::string simStatusCommand();  // AT+CPIN?

// True when the "+CPIN:" line of an answer to AT+CPIN? says "SIM PIN" or "SIM PUK" (quoted or
// not; some phones send no OK after it). "READY", the codes of the second PIN (which guards
// only fixed dialling), an answer that ends in an error (many phones lack the command) or no
// answer: false.
bool simWaitsForPin(std::string_view answer);

// True when a final result says that the SIM waits for its PIN or PUK: +CME ERROR: 11 or 12,
// or those errors in words ("+CME ERROR: SIM PIN required", "SIM PUK required"), letter case
// aside.
bool asksForSimPin(const FinalResult& result);

}  // namespace serial_comm
