#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/CSVWriter.h"
#include "export/ContactUids.h"

// vCard 3.0: one card per contact, in UTF-8 without a byte-order mark whatever the export's
// charset, every line ending in CR LF. A line longer than 75 octets is folded (CR LF and one
// blank) between two characters, never inside a UTF-8 sequence nor inside an escape. In values,
// backslash, comma and semicolon are escaped, and a line break (CR LF, CR or LF) is written "\n";
// other control characters (all below U+0020 but the tab, and U+007F) cannot stand in a value and
// are left out, and half a surrogate pair becomes U+FFFD. A property whose value is empty is left
// out, except N and FN, which every card has. Each card is written with one writeLine, so that a
// failed write leaves no part of it.
//
// What a contact becomes:
//   N           family; given; additional; ; (no prefix, no suffix)
//   FN          the given and the family name, with one blank between them when both are there;
//               without a name the first number, else the first e-mail address, else empty
//   TEL         every number, kinds in ascending order (each kind in the contact's order):
//               work WORK,VOICE; home HOME,VOICE; main PREF,VOICE; mobile CELL; fax FAX;
//               pager PAGER; the other kinds VOICE
//   EMAIL       every address, TYPE=INTERNET, with HOME or WORK for the home and work kinds
//   ADR         every postal address, TYPE=HOME or WORK (other kinds without a type); the six
//               parts the phone sends (street, extended address, locality, region, postal code,
//               country) in their places, the post office box empty
//   URL         every web address
//   BDAY        YYYY-MM-DD, when the birthday reads as a date (PhoneBirthday::date)
//   CATEGORIES  the group, unless it is the default group
//   UID         see ContactUids
class VCardWriter final : public CSVWriter {
public:
    // imei: the phone's, for the UIDs; empty when it told none.
    VCardWriter(std::u16string path, const std::u16string& imei);

    void writeContact(const IContact& contact) override;
    // A vCard file has no header: nothing is written.
    void writeHeader() override;

    // The text as a vCard value: escaped, control characters left out, unpaired surrogates
    // replaced.
    static std::u16string escaped(std::u16string_view text);

private:
    // Appends one property's line (without its line break) to card_, folded.
    void appendFolded(std::u16string_view line);
    void appendProperty(std::u16string_view nameAndParameters, std::u16string_view value);

    ContactUids uids_;
    std::u16string card_;
    std::u16string line_;
};
