#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "charsets/PhoneMaker.h"

// Output charset codes: the file is written in the charset in which the phone is read.
namespace output_charset {
inline constexpr std::int32_t Ucs2 = 0;   // UTF-16LE with byte-order mark
inline constexpr std::int32_t Utf8 = 1;   // UTF-8 with byte-order mark
inline constexpr std::int32_t Ascii = 2;  // US-ASCII
}  // namespace output_charset

// The charset in which a phone is read during an export, and the matching output charset code.
struct CharsetChoice {
    std::u16string name;  // as the phone spells it; the fallback's name when it offered none
    std::int32_t outputCharset = output_charset::Ascii;
    bool asciiFallback = false;  // nothing richer than ASCII was offered; warn the user
};

// The names of offered in which the program can read a phone of that maker, in the phone's
// order. The maker's phones: "UCS2", "UTF8" and "ASCII", spelled exactly so. Other makers'
// phones: those and "8859-1", "GSM", "IRA" and "UTF-8", in any case of their letters.
std::vector<std::u16string> readableCharsets(const std::vector<std::u16string>& offered,
                                             PhoneMaker maker);

// Picks the charset from the names the phone offers.
// - The maker's phones (names compared exactly): UCS2 if offered, else UTF8, else ASCII,
//   whether the phone offered ASCII or not.
// - Other makers' phones (letters compared without case, UTF-8 taken for UTF8): UCS2, else
//   UTF8, else 8859-1, else GSM (each read into a UTF-8 file, so that their letters survive),
//   else IRA, else ASCII, else IRA although the phone did not offer it. The name is returned
//   as the phone spelled it, so that it is set in that spelling.
// UCS2 gives a UTF-16 file, IRA and ASCII an ASCII file; an ASCII file is flagged as the
// fallback, of which the user is warned.
CharsetChoice chooseExportCharset(const std::vector<std::u16string>& offered,
                                  PhoneMaker maker = PhoneMaker::Own);
