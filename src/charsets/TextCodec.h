#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The byte/wide conversions behind the converter classes, for the code pages the program
// knows: 1200 (UTF-16LE bytes), 65001 (UTF-8), 20127 (US-ASCII), 28591 (ISO 8859-1), the GSM
// alphabet (code_page::Gsm, see GsmAlphabet.h) and 0 (the locale's charset).
// No input makes them fail: invalid bytes decode to U+FFFD, and a character the target cannot
// hold encodes as one '?' (a surrogate pair is one character). An unknown code page gives an
// empty result. For code page 0 each call reads the locale anew; the converter classes set it
// up once (LocaleCharset).
namespace text_codec {

std::u16string decode(std::uint32_t codePage, std::string_view bytes);
std::string encode(std::uint32_t codePage, std::u16string_view text);

// Shorthands for UTF-8, used wherever wide text meets the terminal, file names or tests.
std::u16string fromUtf8(std::string_view bytes);
std::string toUtf8(std::u16string_view text);

}  // namespace text_codec
