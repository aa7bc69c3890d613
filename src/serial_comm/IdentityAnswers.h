#pragma once

#include <string>
#include <string_view>

namespace serial_comm {

// Who a phone of any maker says it is: AT+CGMI (manufacturer), AT+CGMM (model) and AT+CGSN
// (serial number, the IMEI of a phone), read in the shapes phones send them. Some put the
// answer on a line with the command's prefix ("+CGMM: "GSM900","GSM1800","MODEL=L6"",
// "+CGSN: IMEI351234..."), most send it bare ("E173"), some with blanks around it or a product
// code instead of a name. Every reader gives an empty text for an answer that did not end in OK
// or carries nothing it can use; none of them fails.

std::string manufacturerCommand();  // AT+CGMI

// The text an identification answer carries: the value of its first line with the prefix name
// ("+CGMM"), or else its first other line that is not the echo of command, a result line or an
// unsolicited result code (a line starting with '+', '^' or '$', or RING). Control bytes are
// dropped, blanks at both ends removed, and each run of blanks inside made one blank.
std::string identificationText(std::string_view answer, std::string_view command,
                               std::string_view name);

// The manufacturer from an answer to AT+CGMI, unquoted, without a copyright notice after it
// ("Motorola CE, Copyright 2005" gives "Motorola CE"). Bytes beyond ASCII read as U+FFFD.
std::u16string readManufacturer(std::string_view answer);

// The model from an answer to AT+CGMM: what follows "MODEL=" (letter case aside) where an item
// holds it; else the one item of a quoted list (a list of several items without MODEL= names
// only the bands, and gives nothing); else the whole text.
std::u16string readModel(std::string_view answer);

// The serial number from an answer to AT+CGSN: unquoted, without angle brackets and without an
// "IMEI" in front of it.
std::u16string readSerialNumber(std::string_view answer);

// How a person reads which phone it is: "maker model"; the model alone when there is no maker or
// the model starts with the maker's name already ("Nokia" and "Nokia N79"), the maker alone
// when there is no model.
std::u16string phoneName(std::u16string_view manufacturer, std::u16string_view model);

}  // namespace serial_comm
