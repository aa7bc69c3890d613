#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "serial_comm/ModeSwitch.h"
#include "serial_comm/PhoneSupportLevel.h"

namespace serial_comm {

class Modem;

// What is known of a port before anything is sent to it.
enum class PortOrigin {
    MakersUsbDevice,  // a USB device of the maker
    OtherUsbDevice,   // a USB device of another vendor
    Unknown,          // no USB identity: a pseudo-terminal, a Bluetooth or a legacy serial port
};

// What a probe learned from the phone's answers.
enum class ProbeFinding {
    Readable,         // the phone can be read (level 4 or 5)
    Silent,           // the phone did not answer
    RefusedMode,      // the maker's phone did not take the switch into mode 2
    MissingCommands,  // the phone answers, but lacks what reading its phonebook needs
    SimLocked,        // the SIM waits for its PIN: unlock it on the phone, then try again
};

// The word that names a finding in reports and in machine-readable output: "readable",
// "silent", "refused-mode", "missing-commands", "sim-locked".
std::string_view findingWord(ProbeFinding finding);

// The outcome of probing the phone behind a port.
struct ProbeReport {
    std::int32_t level = support_level::Unsupported;
    ProbeFinding finding = ProbeFinding::Silent;
    // Another maker's phone: read with the standard phonebook only, and never sent the
    // maker's mode command (again).
    bool otherMaker = false;
    std::u16string manufacturer;  // AT+CGMI; asked of other makers' phones only
    std::u16string model;         // AT+CGMM
    std::u16string serialNumber;  // AT+CGSN
};

// Asks the phone behind modem how it can be read, by where the port comes from.
//
// The maker's USB device, and a port of unknown origin, get the maker's sequence exactly:
// AT+MODE? and the switch into mode 2 (see switchToReadingMode, ModeAnswers::MustHoldOk), the
// support level (phoneSupport), AT+CGMM and AT+CGSN read with the maker's parsers, and AT+MODE=0
// at the end. The probe stops, unsupported, at a silent AT+MODE? or a switch not answered with
// OK; except that a phone on a port of unknown origin that refuses a switch with a final failure
// is another maker's, and is asked as such from there on (no more AT+MODE, no pause).
//
// Another vendor's USB device is asked as another maker's phone from the start (see
// probeStandardPhonebook). pause is kModeSwitchPause; tests shorten it. SerialPortException
// passes through.
ProbeReport probePhoneOn(Modem& modem, PortOrigin origin,
                         std::chrono::milliseconds pause = kModeSwitchPause);

// Asks a phone of another maker how it can be read, with the standard commands only:
//  1. AT+CLAC, which many phones lack: a list without AT+CPBR means the phone cannot be read;
//     ERROR or no answer means go on.
//  2. AT+CPIN?: a SIM waiting for its PIN or PUK ends the probe (SimLocked). An ERROR is not
//     taken for a locked SIM. When this and AT+CLAC both went unanswered, the phone is silent.
//  3. AT+CSCS=? must list at least one charset and end in OK.
//  4. AT+CPBS=? must list ME or SM (also in the UCS2 form, see CPBSCommand::storageNames); for
//     each of them that is offered (ME first), AT+CPBS="<name>" (see selectStorage) and
//     AT+CPBR=?: the first that is selected and gives a range makes the phone readable with
//     the standard phonebook (level 4). An error asking for the SIM's PIN or PUK on the way ends
//     the probe as SimLocked.
//  5. Unless the phone went silent: AT+CGMI, AT+CGMM and AT+CGSN, read in the shapes phones of
//     every maker send them (see IdentityAnswers.h).
// Storages other than ME and SM are never selected. A phone silent at steps 3 and 4 is Silent.
// SerialPortException passes through.
ProbeReport probeStandardPhonebook(Modem& modem);

}  // namespace serial_comm
