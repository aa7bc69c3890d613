#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    static void appendEscaped(std::u16string& out, std::u16string_view text);

    // A property, with its parameters, and the kind of value it holds.
    struct Kind {
        std::int32_t kind;
        std::u16string_view property;
    };

private:
    // Ends the property line that begins at start in card_: folds it when it is too long and
    // adds its line break.
    void endProperty(std::size_t start);
    // Folds the text of card_ from start on.
    void fold(std::size_t start);
    void appendProperty(std::u16string_view nameAndParameters, std::u16string_view text);
    // One property per value that is not empty once escaped.
    void appendValues(const Kind& kind, const std::vector<std::u16string>& values);
    // FN: given and family name (both escaped), or a number or e-mail address without them.
    std::u16string displayName(const IContact& contact, const std::u16string& given,
                               const std::u16string& family);

    ContactUids uids_;
    // The card being written, a line being folded, and the values of one kind.
    std::u16string card_;
    std::u16string line_;
    std::vector<std::u16string> values_;
};
