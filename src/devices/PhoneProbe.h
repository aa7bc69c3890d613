#pragma once

#include <cstdint>

#include "devices/DeviceFilter.h"
#include "devices/DeviceInfoEx.h"
#include "serial_comm/PhoneProbeSequence.h"

// The priority under which the probe leases a port: the phone manager's higher priority takes
// the port away from a probe running on it.
inline constexpr std::int32_t kProbeLeasePriority = 0;

// Where a found device's port comes from, by its vendor ID: the maker's USB device ("3C5F"),
// another vendor's, or (no vendor ID) a port without a USB identity.
serial_comm::PortOrigin portOriginOf(const DEVICE_INFO_EX& found);

// Asks the modem of a found device what phone is behind it. Copies the device, its path and
// vendor ID from found into result and sets result's state to Unsupported, with no model, IMEI
// or manufacturer, not another maker's phone; the caller keeps the retries left and the root
// device. Returns false, without opening anything, when the filter rejects the device.
//
// Otherwise leases the port and runs serial_comm::probePhoneOn for the port's origin (see
// portOriginOf): the maker's phone is switched into mode 2, asked its support level, model and
// IMEI, and put back into mode 0 (at least half a second, the pauses after the mode switches,
// plus the phone's answer times); another maker's phone is asked with the standard commands
// only, without any pause. The state becomes the level found (Unsupported, StandardPhonebook or
// ExtendedPhonebook); the IMEI is kept only with a model. finding, when given, receives what
// the probe learned (readable, silent, refused mode, missing commands, SIM locked); it is left
// as it was when the filter rejects the device or the port fails. Returns true.
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
                DEVICE_INFO_EX& result, serial_comm::ProbeFinding* finding = nullptr);

// The probe of a port the person asked for (named on the command line, or picked among the
// other makers' devices): as probePhone, without a filter.
void probeAskedPort(const DEVICE_INFO_EX& found, DEVICE_INFO_EX& result,
                    serial_comm::ProbeFinding* finding = nullptr);
