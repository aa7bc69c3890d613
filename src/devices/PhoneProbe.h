#pragma once

#include <cstdint>

#include "devices/DeviceFilter.h"
#include "devices/DeviceInfoEx.h"

// The priority under which the probe leases a port: the phone manager's higher priority takes
// the port away from a probe running on it.
inline constexpr std::int32_t kProbeLeasePriority = 0;

// Asks the modem of a found device what phone is behind it. Copies the device, its path and
// vendor ID from found into result and sets result's state to Unsupported, with no model and
// no IMEI; the caller keeps the retries left and the root device. Returns false, without
// opening anything, when the filter rejects the device.
//
// Otherwise leases the port, switches the phone into mode 2 (giving up, still Unsupported, when
// AT+MODE? goes unanswered or a switch is not answered with OK), sets the state from the phone's
// support level (Unsupported, StandardPhonebook or ExtendedPhonebook), reads the model
// (AT+CGMM) and the IMEI (AT+CGSN, kept only with a model), puts the phone back into mode 0
// and returns true. Takes at least half a second (the pauses after the mode switches) plus the
// phone's answer times.
//
// result.cause tells why a phone that is not usable cannot be read: Silent (no answer to the
// mode question, a switch or the command list), RefusedMode (a switch answered without OK),
// MissingCommands (the command list lacks what an export needs); None for a usable phone.
//
// Throws serial_comm::SerialPortException when the port cannot be had (code 0, with the open
// error) or fails during the probe (also when the phone manager takes the port away); result
// then holds what was filled in so far, with the cause of the failure: the open's (for a port
// another program holds, that program and its process id where the system shows them), or the
// port's failure.
bool probePhone(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result);
