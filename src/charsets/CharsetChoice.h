#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Output charset codes: the file is written in the charset in which the phone is read.
namespace output_charset {
inline constexpr std::int32_t Ucs2 = 0;   // UTF-16LE with byte-order mark
inline constexpr std::int32_t Utf8 = 1;   // UTF-8 with byte-order mark
inline constexpr std::int32_t Ascii = 2;  // US-ASCII
}  // namespace output_charset

// The charset in which a phone is read during an export, and the matching output charset code.
struct CharsetChoice {
    std::u16string name;
    std::int32_t outputCharset = output_charset::Ascii;
    bool asciiFallback = false;  // neither UCS2 nor UTF8 was offered; the user must be warned
};

// Picks the charset from the names the phone offers (already filtered to those the program
// can decode): UCS2 if offered, else UTF8, else ASCII with the fallback flagged. Names are
// compared exactly.
CharsetChoice chooseExportCharset(const std::vector<std::u16string>& offered);
