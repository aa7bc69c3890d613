#pragma once

#include <cstdint>
#include <string_view>

// The number at the start of an AT value, read the way the C function atoi reads it: leading
// white space, an optional sign, then decimal digits up to the first other byte. A value with
// no digits there gives 0. Numbers beyond the 32-bit range saturate at its ends instead of
// overflowing.
std::int32_t atInteger(std::string_view value);
