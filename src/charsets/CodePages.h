#pragma once

#include <cstdint>

// Code pages by which the program names text encodings. The numbers are the conventional
// code-page identifiers; 0 stands for the user's locale charset.
namespace code_page {
inline constexpr std::uint32_t SystemDefault = 0;
inline constexpr std::uint32_t Utf16 = 1200;
inline constexpr std::uint32_t Utf8 = 65001;
inline constexpr std::uint32_t Ascii = 20127;
inline constexpr std::uint32_t Latin1 = 28591;  // ISO 8859-1
// The GSM 7-bit default alphabet with its extension table (3GPP TS 23.038), one byte per septet.
// No conventional identifier exists for it; this one is the program's own, outside those in use.
inline constexpr std::uint32_t Gsm = 23038;
}  // namespace code_page
