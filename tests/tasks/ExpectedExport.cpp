#include "ExpectedExport.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "charsets/CharsetChoice.h"
#include "export/ContactField.h"
#include "export/OutputFormat.h"
#include "phonesim/ScenarioParser.h"

namespace export_test {

namespace {

namespace kind = contact_kind;
using Values = std::vector<std::pair<std::int32_t, std::u16string>>;
using Texts = std::vector<std::u16string>;

// --- What the readers make of the phone's records ---------------------------------------------

std::u16string ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

ExpectedContact standardContact(const phonesim::Contact& entry) {
    ExpectedContact contact;
    contact.entries = 1;
    contact.givenName = entry.displayName();
    const phonesim::Item* item = entry.standardItem();
    if (item != nullptr && phonesim::classOfType(item->type) == phonesim::ItemClass::Email)
        contact.emails.emplace_back(kind::OtherEmail, item->value);
    else
        contact.phones.emplace_back(kind::MobilePhone, item != nullptr ? item->value : u"");
    return contact;
}

void addItem(ExpectedContact& contact, const phonesim::Item& item, bool sim) {
    switch (phonesim::classOfType(item.type)) {
        case phonesim::ItemClass::Phone:
            ++contact.entries;
            contact.phones.emplace_back(sim ? kind::MobilePhone : item.type, item.value);
            break;
        case phonesim::ItemClass::Email:
            ++contact.entries;
            contact.emails.emplace_back(item.type, item.value);
            break;
        case phonesim::ItemClass::Address:
            contact.addresses.emplace_back(item.type, item.value);
            break;
        case phonesim::ItemClass::Website:
            contact.websites.push_back(item.value);
            break;
        case phonesim::ItemClass::Unknown:
            break;
    }
}

// The fields every line of an index carries, which the reader takes from its first line.
void addCommonFields(ExpectedContact& contact, const phonesim::Contact& entry,
                     const phonesim::GroupTable& groups) {
    contact.givenName = entry.givenName;
    contact.familyName = entry.familyName;
    contact.additionalName = entry.additionalName;
    contact.birthday = ascii(entry.birthday);
    if (entry.group) {
        const auto name = groups.names.find(*entry.group);
        if (name != groups.names.end())
            contact.group = name->second;
    }
    if (entry.hasPostalAddress()) {
        std::u16string address;
        for (std::size_t part = 0; part < entry.postal.size(); ++part)
            address += (part > 0 ? u";|;" : u"") + entry.postal[part];
        contact.addresses.emplace_back(kind::OtherAddress, address);
    }
}

ExpectedContact extendedContact(const phonesim::Contact& entry, const phonesim::GroupTable& groups,
                                bool sim) {
    ExpectedContact contact;
    if (entry.items.empty()) {
        addCommonFields(contact, entry, groups);
        return contact;
    }
    // The first line carries the first item before the fields of the whole contact.
    bool first = true;
    for (const phonesim::Item& item : entry.items) {
        addItem(contact, item, sim);
        if (first)
            addCommonFields(contact, entry, groups);
        first = false;
    }
    return contact;
}

// --- The two layouts --------------------------------------------------------------------------

// The values of the kinds, kind by kind, in the order a contact keeps them: within one kind,
// the value that came first goes last (a, b, c is kept as b, c, a).
Texts valuesOf(const Values& values, std::initializer_list<std::int32_t> kinds) {
    Texts all;
    for (const std::int32_t wanted : kinds) {
        Texts ofKind;
        for (const auto& [k, text] : values) {
            if (k == wanted)
                ofKind.push_back(text);
        }
        for (std::size_t i = 1; i < ofKind.size(); ++i)
            all.push_back(ofKind[i]);
        if (!ofKind.empty())
            all.push_back(ofKind[0]);
    }
    return all;
}

std::u16string firstOf(const Values& values, std::int32_t wanted) {
    const Texts all = valuesOf(values, {wanted});
    return all.empty() ? u"" : all.front();
}

std::u16string joinedBy(const Texts& texts, std::u16string_view separator) {
    std::u16string out;
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i > 0 ? std::u16string(separator) : u"") + texts[i];
    return out;
}

std::u16string quotedAs(std::u16string_view text, std::u16string_view quoteInside) {
    std::u16string out = u"\"";
    for (const char16_t c : text) {
        if (c == u'"')
            out += quoteInside;
        else
            out += c;
    }
    return out + u"\"";
}

std::u16string googleCell(const Texts& texts) {
    return quotedAs(joinedBy(texts, u" ::: "), u"\"\"");
}

// month-day-year as year-month-day, padded with zeros; a part that is not a number, and every
// part after it, counts as 0.
std::u16string googleBirthday(std::u16string_view birthday) {
    if (birthday.empty())
        return {};
    std::u16string numbers[3] = {u"0", u"0", u"0"};
    std::size_t start = 0;
    for (std::u16string& number : numbers) {
        const std::size_t end = std::min(birthday.find(u'-', start), birthday.size());
        std::u16string_view part = birthday.substr(start, end - start);
        if (part.empty() || part.find_first_not_of(u"0123456789") != std::u16string_view::npos)
            break;
        while (part.size() > 1 && part.front() == u'0')
            part.remove_prefix(1);
        number = part;
        if (end == birthday.size())
            break;
        start = end + 1;
    }
    const auto padded = [](const std::u16string& text, std::size_t width) {
        return std::u16string(text.size() < width ? width - text.size() : 0, u'0') + text;
    };
    return padded(numbers[2], 4) + u"-" + padded(numbers[0], 2) + u"-" + padded(numbers[1], 2);
}

// The parts of a postal address with one space between any two; nothing before the first
// part that holds text.
std::u16string googleAddress(std::u16string_view stored) {
    std::u16string out;
    bool text = false;
    for (std::size_t i = 0; i < stored.size();) {
        if (stored.substr(i, 3) == u";|;") {
            if (text)
                out += u' ';
            i += 3;
        } else {
            text = true;
            out += stored[i++];
        }
    }
    return out;
}

constexpr std::u16string_view kGoogleHeader =
    u"Name,Given Name,Additional Name,Family Name,Birthday,Occupation,Hobby,Sensitivity,"
    u"Priority,Subject,Group Membership,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,"
    u"E-mail 2 - Value,E-mail 3 - Type,E-mail 3 - Value,Phone 1 - Type,Phone 1 - Value,"
    u"Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Phone 4 - Type,"
    u"Phone 4 - Value,Phone 5 - Type,Phone 5 - Value,Phone 6 - Type,Phone 6 - Value,"
    u"Phone 7 - Type,Phone 7 - Value,Address 1 - Type,Address 1 - Formatted,Address 2 - Type,"
    u"Address 2 - Formatted,Address 3 - Type,Address 3 - Formatted,Website 1 - Type,"
    u"Website 1 - Value\n";

std::u16string googleRow(const ExpectedContact& c) {
    Texts cells = {googleCell({c.givenName + u" " + c.familyName}),
                   u"",
                   googleCell({c.additionalName}),
                   googleCell({c.familyName}),
                   googleBirthday(c.birthday),
                   u"",
                   u"",
                   u"",
                   u"",
                   u"",
                   googleCell({c.group})};
    const auto typed = [&cells](std::u16string type, const Texts& values) {
        cells.push_back(std::move(type));
        cells.push_back(googleCell(values));
    };
    typed(u"Work", valuesOf(c.emails, {kind::WorkEmail}));
    typed(u"Home", valuesOf(c.emails, {kind::HomeEmail}));
    typed(u"Other", valuesOf(c.emails, {kind::ExtraOtherEmail, kind::OtherEmail}));
    typed(u"Main", valuesOf(c.phones, {kind::MainPhone}));
    typed(u"Home", valuesOf(c.phones, {kind::HomePhone}));
    typed(u"Work", valuesOf(c.phones, {kind::WorkPhone}));
    typed(u"Mobile", valuesOf(c.phones, {kind::MobilePhone}));
    typed(u"Fax", valuesOf(c.phones, {kind::FaxPhone}));
    typed(u"Pager", valuesOf(c.phones, {kind::PagerPhone}));
    typed(u"Other", valuesOf(c.phones, {kind::OtherPhone4, kind::OtherPhone1, kind::OtherPhone2,
                                        kind::OtherPhone3}));
    for (const auto& [type, k] :
         {std::pair{u"Home", kind::HomeAddress}, std::pair{u"Work", kind::WorkAddress},
          std::pair{u"Other", kind::OtherAddress}}) {
        Texts addresses = valuesOf(c.addresses, {k});
        for (std::u16string& address : addresses)
            address = googleAddress(address);
        typed(type, addresses);
    }
    typed(u"Other", c.websites);
    std::u16string row;
    for (const std::u16string& cell : cells)
        row += cell + u",";
    return row + u"\n";
}

constexpr std::u16string_view kOutlookHeader =
    u"\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\",\"Primary Phone\","
    u"\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\",\"Business Phone\"\n";

std::u16string outlookRow(const ExpectedContact& c) {
    const auto cell = [](std::u16string_view text) { return quotedAs(text, u"'"); };
    // The first e-mail address of the lowest kind.
    std::u16string email;
    for (std::int32_t k = 0; k <= kind::Website2 && email.empty(); ++k)
        email = firstOf(c.emails, k);
    return cell(c.givenName) + u",," + cell(c.familyName) + u"," + cell(email) + u"," +
           cell(firstOf(c.phones, kind::MainPhone)) + u"," +
           cell(firstOf(c.phones, kind::HomePhone)) + u"," +
           cell(firstOf(c.phones, kind::MobilePhone)) + u",," +
           cell(firstOf(c.phones, kind::FaxPhone)) + u"," +
           cell(firstOf(c.phones, kind::WorkPhone)) + u"\n";
}

// --- The file's bytes -------------------------------------------------------------------------

// A test's own UTF-16 to UTF-8 or UTF-16LE, so that the expected bytes do not come from the
// converters under test.
void appendUtf8(std::string& out, char32_t c) {
    const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

std::string encoded(std::u16string_view text, std::int32_t outputCharset) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (outputCharset == output_charset::Ucs2) {
            out.push_back(static_cast<char>(c & 0xFF));
            out.push_back(static_cast<char>(c >> 8));
            continue;
        }
        if (pair)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        if (outputCharset == output_charset::Ascii && c >= 0x80)
            out.push_back('?');
        else
            appendUtf8(out, c);
    }
    return out;
}

}  // namespace

ExpectedContacts expectedContacts(const phonesim::Scenario& scenario, std::string_view storage,
                                  bool extended, int first, int last) {
    ExpectedContacts contacts;
    const phonesim::Storage* found = scenario.storage(storage);
    if (found == nullptr)
        return contacts;
    for (const auto& [index, entry] : found->contacts) {
        if (index < first || index > last)
            continue;
        contacts.push_back(extended ? extendedContact(entry, scenario.groups, storage == "SM")
                                    : standardContact(entry));
    }
    return contacts;
}

std::string expectedFile(const ExpectedContacts& contacts, OutputFormat format,
                         std::int32_t outputCharset) {
    std::u16string text;
    if (!contacts.empty()) {
        text = format == OutputFormat::GoogleCsv ? kGoogleHeader : kOutlookHeader;
        for (const ExpectedContact& contact : contacts)
            text += format == OutputFormat::GoogleCsv ? googleRow(contact) : outlookRow(contact);
    }
    std::u16string lines;
    for (const char16_t c : text)
        lines += c == u'\n' ? u"\r\n" : std::u16string(1, c);
    const std::string mark = outputCharset == output_charset::Ucs2   ? "\xFF\xFE"
                             : outputCharset == output_charset::Utf8 ? "\xEF\xBB\xBF"
                                                                     : "";
    return mark + encoded(lines, outputCharset);
}

std::string googleHeaderLine() {
    std::u16string line(kGoogleHeader);
    line.insert(line.size() - 1, 1, u'\r');
    return encoded(line, output_charset::Utf8);
}

std::int32_t entriesOf(const ExpectedContacts& contacts) {
    std::int32_t entries = 0;
    for (const ExpectedContact& contact : contacts)
        entries += contact.entries;
    return entries;
}

ExpectedContacts joined(ExpectedContacts contacts, const ExpectedContacts& more) {
    contacts.insert(contacts.end(), more.begin(), more.end());
    return contacts;
}

phonesim::Scenario scenarioFrom(std::string_view text) {
    phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(text, "test");
    if (!parsed)
        throw std::invalid_argument(parsed.error);
    return std::move(*parsed.scenario);
}

}  // namespace export_test
