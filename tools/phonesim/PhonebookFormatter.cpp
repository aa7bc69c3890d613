#include "phonesim/PhonebookFormatter.h"

#include <array>

#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"

namespace phonesim {
namespace {

// Numbers travel as plain ASCII in every charset.
std::string plainQuoted(std::u16string_view text) {
    return '"' + text_codec::encode(code_page::Ascii, text) + '"';
}

// A type that names no field: a contact without items still gets a line that starts it.
constexpr int kNoFieldType = 255;

}  // namespace

int PhonebookFormatter::standardType(const Item* item) {
    if (item != nullptr && classOfType(item->type) == ItemClass::Email) {
        return 128;
    }
    if (item != nullptr && !item->value.empty() && item->value.front() == u'+') {
        return 145;
    }
    return 129;
}

std::string PhonebookFormatter::standardLine(const Contact& contact) const {
    return standardLine(contact, NameStyle{});
}

std::string PhonebookFormatter::standardLine(const Contact& contact, const NameStyle& style) const {
    const Item* item = contact.standardItem();
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about a literal
    // prepended to a temporary string.
    std::string line = "+CPBR: ";
    line += std::to_string(contact.index);
    line += ',';
    line += plainQuoted(item != nullptr ? std::u16string_view(item->value) : u"");
    line += ',';
    line += std::to_string(standardType(item));
    line += ',';
    std::u16string name = contact.displayName();
    if (style.padTo > 0 && name.size() < static_cast<std::size_t>(style.padTo)) {
        name.resize(static_cast<std::size_t>(style.padTo), u' ');
    }
    line += style.bare && charset_.isUcs2() ? charset_.render(name) : charset_.quoted(name);
    return line;
}

std::string PhonebookFormatter::extendedValue(const Item& item) const {
    if (classOfType(item.type) == ItemClass::Phone) {
        return plainQuoted(item.value);
    }
    // In UCS2 a quoted value is read as plain ASCII, so text that may hold more than ASCII
    // (e-mail, postal and web addresses) goes bare, as hexadecimal.
    if (charset_.isUcs2()) {
        return charset_.render(item.value);
    }
    return charset_.quoted(item.value);
}

std::vector<std::string> PhonebookFormatter::extendedLines(const Contact& contact) const {
    std::array<std::string, kExtendedValues> values;
    values[0] = std::to_string(contact.index);
    values[4] = charset_.quoted(contact.givenName + contact.familyName);
    values[10] = contact.group ? std::to_string(*contact.group) : std::string();
    values[13] = std::to_string(charset_.decodedLength(contact.givenName));
    for (std::size_t part = 0; part < contact.postal.size(); ++part) {
        values[17 + part] = charset_.quoted(contact.postal[part]);
    }
    values[23] = charset_.quoted(contact.additionalName);
    values[24] = '"' + contact.birthday + '"';

    std::vector<Item> items = contact.items;
    if (items.empty()) {
        items.push_back(Item{kNoFieldType, {}});
    }
    std::vector<std::string> lines;
    lines.reserve(items.size());
    int position = 0;
    for (const Item& item : items) {
        values[1] = std::to_string(++position);
        values[2] = extendedValue(item);
        values[3] = std::to_string(standardType(&item));
        values[5] = std::to_string(item.type);
        std::string line = "+MPBRE: ";
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i > 0) {
                line += ',';
            }
            line += values[i];
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string PhonebookFormatter::groupLine(int number, std::u16string_view name) const {
    return "+MPGR: " + std::to_string(number) + "," + charset_.quoted(name);
}

}  // namespace phonesim
