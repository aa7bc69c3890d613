#pragma once

#include <string>
#include <string_view>

// How section names, keys and values are written into the settings file so that no text,
// whether typed by a user or read from a phone, can change the file's structure or another
// entry. The file stays plain UTF-8 INI, and ordinary texts are written as they are.
//
// Escapes, all starting with a backslash:
//   \\       a backslash
//   \n \r \t line feed, carriage return, tab
//   \s       a space; used only at the start or the end of a text, which a reader trims
//   \uHHHH   any other UTF-16 unit, as four hexadecimal digits
//
// Escaped everywhere: the backslash, the control characters U+0000 to U+001F and U+007F to
// U+009F (so NUL and every line break), the Unicode line and paragraph separators, and
// surrogates that are not part of a pair (UTF-8 cannot carry them). Spaces at either end of a
// text are written as \s. In keys, "=" is escaped everywhere, and "[", ";" and "#" at the start
// (where they would make a section header or a comment); in section names, "]". After
// escaping, a raw "=" in a line is always the key's end, and a raw "]" always the section
// name's end.
//
// Reading undoes exactly these escapes. A backslash that does not begin one of them (as in a
// file written by hand) is kept as it stands.
namespace ini_escaping {

std::string encodeSection(std::u16string_view name);
std::string encodeKey(std::u16string_view key);
std::string encodeValue(std::u16string_view value);

// Decodes one trimmed field of a line: UTF-8 (ill-formed bytes become U+FFFD) and the escapes.
std::u16string decode(std::string_view field);

}  // namespace ini_escaping
