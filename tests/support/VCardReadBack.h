#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// One property of a vCard as read back: its name and parameters as written (for example "TEL"
// and "TYPE=WORK,VOICE"), and its value split at the unescaped semicolons into components, each
// with its escapes undone.
struct VCardProperty {
    std::string name;
    std::string parameters;
    std::vector<std::u16string> components;
};

struct VCard {
    std::vector<VCardProperty> properties;

    // The properties of that name, in the card's order.
    std::vector<const VCardProperty*> all(std::string_view name) const;
    // The single component of the one property of that name; false when the card has none, or
    // more than one, or the value has several components.
    bool single(std::string_view name, std::u16string& value) const;
};

// Reads a vCard 3.0 file back without the program's own code, checking the line rules as it
// goes: UTF-8 without a byte-order mark; every line ends in CR LF and holds at most 75 octets
// without it; each line is well-formed UTF-8 by itself (a fold never cuts a sequence); a line that
// begins with a blank continues the one before it (the blank is dropped). Every card runs from
// BEGIN:VCARD to END:VCARD with VERSION:3.0 right after BEGIN; a property line has a name, a ':'
// and a value; in a value only \\, \,, \; and \n (or \N) are escapes, and no comma stands
// unescaped (none of the properties read holds a list), nor a control character but the tab.
// False, with the reason in problem, at the first flaw.
bool readVCardFile(std::string_view bytes, std::vector<VCard>& cards, std::string& problem);

// The cards of a file, one file each, as an address-book folder keeps them: the bytes of each
// card, its CR LF line ends included. Empty when the bytes are no vCard file.
std::vector<std::string> splitVCardFile(std::string_view bytes);

}  // namespace test_support
