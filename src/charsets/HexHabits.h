#pragma once

#include <string>
#include <string_view>
#include <vector>

// What phones of other makers send where the UCS2 charset wants four hexadecimal digits per
// UTF-16 unit, and how to read it anyway. Every function accepts any bytes and never fails.
namespace hex_habits {

// Whether text is non-empty and holds hexadecimal digits only.
bool isHex(std::string_view text);

// Whether hex, sent where the UCS2 form is due, spells 8-bit text instead: whole bytes of
// text (every byte printable ASCII or from 0xA0 up, after one trailing NUL is set aside) that
// do not read as UTF-16 (an odd number of bytes, or an unpaired surrogate), or that end in a
// NUL after printable ASCII holding a letter. UTF-16 of Latin text always holds a zero byte
// before its final one, so it never spells 8-bit text; hex that may be either (no NUL, whole
// and valid UTF-16 units) is taken as UTF-16.
bool spellsEightBitText(std::string_view hex);

// The 8-bit text that hex spells, read as ISO 8859-1, without a trailing NUL. A single trailing
// digit is dropped.
std::u16string eightBitText(std::string_view hex);

// Whether a character can stand in a dialling string: the digits, + * #, the pauses p w and ','.
bool isDiallingCharacter(char16_t character);

// A number sent in the UCS2 form: true, with the number, when hex is at least two whole units
// and every unit is a dialling character. Otherwise false and number is left alone: the value
// is then taken to be the number itself.
bool decodeNumber(std::string_view hex, std::u16string& number);

// A list of names (AT+CSCS=? or AT+CPBS=? items, unquoted) that the phone sent in the UCS2 form:
// when every item is whole units of printable ASCII, replaces each item by the ASCII name and
// returns true. A list that is empty or has any other item is left alone (false).
bool decodeNames(std::vector<std::string>& names);

}  // namespace hex_habits
