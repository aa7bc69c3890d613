#pragma once

#include <cstdint>

namespace serial_comm {

class Modem;

// How far the program can read a phone; the values are those of the device states.
namespace support_level {
inline constexpr std::int32_t Unsupported = 3;
inline constexpr std::int32_t StandardPhonebook = 4;  // read with AT+CPBR
inline constexpr std::int32_t ExtendedPhonebook = 5;  // read with AT+MPBRE
}  // namespace support_level

// Asks the phone behind modem how it can be read. AT+CLAC must list the lines AT+CGMM, AT+CGSN,
// AT+CPBS and AT+CSCS; then AT+MPBRE gives the extended phonebook, else AT+CPBR the standard
// one. A phone that lists neither, or lacks one of the four, is unsupported. A phonebook level
// stands only when AT+CSCS=? answers with OK and AT+CPBS=? answers with OK and at least one
// storage name. A silent phone is unsupported; questions that cannot change the level any more
// are not asked. SerialPortException passes through.
std::int32_t phoneSupportLevel(Modem& modem);

// The level as phoneSupportLevel() asks for it, and whether the question that decided an
// unsupported level went unanswered.
struct PhoneSupport {
    std::int32_t level = support_level::Unsupported;
    bool silent = false;
};
PhoneSupport phoneSupport(Modem& modem);

}  // namespace serial_comm
