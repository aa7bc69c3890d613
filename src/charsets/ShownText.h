#pragma once

#include <string>
#include <string_view>

// Text from outside the program (file names, port names, a phone's model, IMEI and charset
// names, command-line arguments) made safe to show on a terminal: control characters become
// visible escapes (\n, \r, \t, \xHH), so that a name holding a line break cannot break a
// summary and an escape sequence cannot drive the terminal. The C1 controls and the Unicode
// line separators and direction overrides become \uXXXX, bytes that are not UTF-8 \xHH, and a
// backslash \\, so that every shown text tells its bytes. Valid UTF-8 text otherwise stays as
// it is.
std::string shownText(std::string_view text);
