#pragma once

#include <cstdint>

// Whose phone is being read. The maker's own phones are read exactly as they always have been:
// in UCS2, UTF8 or ASCII, their text taken as sent. Phones of other makers may also be read in
// 8859-1, GSM or IRA, and their text is mended of the habits such phones have (names in the
// wrong hexadecimal form, blanks padding names, numbers in hexadecimal).
enum class PhoneMaker : std::uint8_t {
    Own,    // the maker's phone
    Other,  // a phone or modem of another maker
};
