#pragma once

#include <cstdint>

// Code pages by which the program names text encodings. The numbers are the conventional
// code-page identifiers; 0 stands for the user's locale charset.
namespace code_page {
inline constexpr std::uint32_t SystemDefault = 0;
inline constexpr std::uint32_t Utf16 = 1200;
inline constexpr std::uint32_t Utf8 = 65001;
inline constexpr std::uint32_t Ascii = 20127;
}  // namespace code_page
