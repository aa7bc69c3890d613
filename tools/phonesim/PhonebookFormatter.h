#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "phonesim/PhoneCharset.h"
#include "phonesim/Scenario.h"

namespace phonesim {

// The answer lines of the phonebook commands, rendered in the selected charset. Value lists
// never have a space after a comma: the program's tokenizer would read the space as one more,
// empty, value.
class PhonebookFormatter {
public:
    // The number of values on an AT+MPBRE line.
    static constexpr int kExtendedValues = 25;

    explicit PhonebookFormatter(PhoneCharset charset) : charset_(charset) {}

    // How a standard line gives the name, as some phones of other makers do: in UCS2 without
    // quotes (bare), and padded with blanks to padTo UTF-16 units (0: not padded).
    struct NameStyle {
        bool bare = false;
        int padTo = 0;
    };

    // +CPBR: index,"number",type,"text": the contact's first phone number or e-mail address
    // (type 128 marks an e-mail address, 145 an international number, 129 any other) and its
    // display name.
    std::string standardLine(const Contact& contact) const;
    std::string standardLine(const Contact& contact, const NameStyle& style) const;

    // One +MPBRE line per item of the contact, each carrying the contact's other fields too.
    std::vector<std::string> extendedLines(const Contact& contact) const;

    // +MPGR: number,"name"
    std::string groupLine(int number, std::u16string_view name) const;

    // The number type the standard phonebook gives an item (nullptr: no number).
    static int standardType(const Item* item);

private:
    std::string extendedValue(const Item& item) const;

    PhoneCharset charset_;
};

}  // namespace phonesim
