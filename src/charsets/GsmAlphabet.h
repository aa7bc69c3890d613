#pragma once

#include <string>
#include <string_view>

// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038), one byte per septet,
// as phones send it in text mode with AT+CSCS="GSM": 0x00 is '@', and the escape 0x1B leads to
// the extension table (0x1B 0x65 is the euro sign).
namespace gsm_alphabet {

inline constexpr unsigned char kEscape = 0x1B;

// Never fails. The escape followed by a code the extension table does not hold reads as that
// code's character of the main table (the escape is dropped), as the standard tells a receiver
// to show it; two escapes in a row, and an escape at the end or before a byte that is no septet,
// read as one space each. A byte from 0x80 up is no septet and reads as U+FFFD.
std::u16string decode(std::string_view septets);

// One septet per character, two (the escape first) for one of the extension table, and '?' for
// a character the alphabet cannot hold (a surrogate pair is one character). U+00E7 (c cedilla)
// becomes 0x09, the capital C cedilla, as phones store it.
std::string encode(std::u16string_view text);

}  // namespace gsm_alphabet
