#include "ExpectedRows.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "charsets/CharsetChoice.h"
#include "export/ContactField.h"

namespace test_support {

namespace {

namespace kind = contact_kind;

bool isHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The text as the file can hold it: UTF-16 holds everything; UTF-8 turns a lone surrogate into
// U+FFFD; ASCII turns each other character (a surrogate pair is one) into "?".
std::u16string asWritten(const std::u16string& text, std::int32_t outputCharset) {
    if (outputCharset == output_charset::Ucs2)
        return text;
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1]);
        if (outputCharset == output_charset::Ascii) {
            out += text[i] < 0x80 ? text[i] : u'?';
        } else if (pair) {
            out += text[i];
            out += text[i + 1];
        } else {
            out += isHigh(text[i]) || isLow(text[i]) ? char16_t{0xFFFD} : text[i];
        }
        if (pair)
            ++i;
    }
    return out;
}

CsvRow plainCells(std::u16string_view line) {
    CsvRow row;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(u',', start);
        row.push_back({std::u16string(line.substr(start, comma - start)), false});
        if (comma == std::u16string_view::npos)
            return row;
        start = comma + 1;
    }
}

std::u16string joined(const std::vector<std::u16string>& values) {
    std::u16string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += u" ::: ";
        text += values[i];
    }
    return text;
}

// A stored address with each part separator made a space, those before any text dropped.
std::u16string cleaned(const std::u16string& address) {
    const std::u16string_view separator = kAddressPartSeparator;
    std::u16string out;
    std::size_t position = 0;
    while (position < address.size()) {
        if (std::u16string_view(address).substr(position, separator.size()) == separator) {
            if (!out.empty())
                out += u' ';
            position += separator.size();
        } else {
            out += address[position++];
        }
    }
    return out;
}

// Month-day-year as year-month-day: "-" counts as a blank, three unsigned numbers are read in
// turn (blanks before each, a "+" allowed), leading zeros dropped; a number that cannot be read
// and all after it are 0. The year is padded to four digits, month and day to two.
std::u16string birthday(const std::u16string& text) {
    if (text.empty())
        return {};
    std::u16string numbers[3];
    std::size_t position = 0;
    bool readable = true;
    for (std::u16string& number : numbers) {
        if (readable) {
            while (position < text.size() && (text[position] == u' ' || text[position] == u'-' ||
                                              (text[position] >= u'\t' && text[position] <= u'\r')))
                ++position;
            std::size_t begin = position;
            if (begin < text.size() && text[begin] == u'+')
                ++begin;
            std::size_t end = begin;
            while (end < text.size() && text[end] >= u'0' && text[end] <= u'9')
                ++end;
            readable = end > begin;
            if (readable) {
                position = end;
                while (end - begin > 1 && text[begin] == u'0')
                    ++begin;
                number = text.substr(begin, end - begin);
            }
        }
        if (!readable)
            number = u"0";
    }
    const auto padded = [](std::u16string digits, std::size_t width) {
        return digits.size() < width ? std::u16string(width - digits.size(), u'0') + digits
                                     : digits;
    };
    return padded(numbers[2], 4) + u"-" + padded(numbers[0], 2) + u"-" + padded(numbers[1], 2);
}

}  // namespace

CsvRow expectedGoogleHeader() {
    return plainCells(
        u"Name,Given Name,Additional Name,Family Name,Birthday,Occupation,Hobby,Sensitivity,"
        u"Priority,Subject,Group Membership,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,"
        u"E-mail 2 - Value,E-mail 3 - Type,E-mail 3 - Value,Phone 1 - Type,Phone 1 - Value,"
        u"Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Phone 4 - Type,"
        u"Phone 4 - Value,Phone 5 - Type,Phone 5 - Value,Phone 6 - Type,Phone 6 - Value,"
        u"Phone 7 - Type,Phone 7 - Value,Address 1 - Type,Address 1 - Formatted,"
        u"Address 2 - Type,Address 2 - Formatted,Address 3 - Type,Address 3 - Formatted,"
        u"Website 1 - Type,Website 1 - Value");
}

CsvRow expectedOutlookHeader() {
    CsvRow row;
    for (const char16_t* name :
         {u"First Name", u"Middle Name", u"Last Name", u"E-mail Address", u"Primary Phone",
          u"Home Phone", u"Mobile Phone", u"Pager", u"Home Fax", u"Business Phone"})
        row.push_back({name, true});
    return row;
}

CsvRow expectedGoogleRow(const IContact& contact, std::int32_t outputCharset) {
    CsvRow row;
    const auto quoted = [&](const std::u16string& text) {
        row.push_back({asWritten(text, outputCharset), true});
    };
    const auto plain = [&](const std::u16string& text) {
        row.push_back({asWritten(text, outputCharset), false});
    };
    const auto typed = [&](const char16_t* type, const std::vector<std::u16string>& values) {
        plain(type);
        quoted(joined(values));
    };
    const auto phones = [&](std::initializer_list<std::int32_t> kinds) {
        std::vector<std::u16string> values;
        for (const std::int32_t k : kinds)
            contact.phones(k, values);
        return values;
    };
    const auto emails = [&](std::initializer_list<std::int32_t> kinds) {
        std::vector<std::u16string> values;
        for (const std::int32_t k : kinds)
            contact.emails(k, values);
        return values;
    };
    const auto addresses = [&](std::int32_t k) {
        std::vector<std::u16string> values;
        contact.addresses(k, values);
        for (std::u16string& value : values)
            value = cleaned(value);
        return values;
    };

    quoted(contact.givenName() + u" " + contact.familyName());
    plain(u"");
    quoted(contact.additionalName());
    quoted(contact.familyName());
    plain(birthday(contact.birthday()));
    for (int i = 0; i < 5; ++i)
        plain(u"");
    quoted(contact.group());
    typed(u"Work", emails({kind::WorkEmail}));
    typed(u"Home", emails({kind::HomeEmail}));
    typed(u"Other", emails({kind::ExtraOtherEmail, kind::OtherEmail}));
    typed(u"Main", phones({kind::MainPhone}));
    typed(u"Home", phones({kind::HomePhone}));
    typed(u"Work", phones({kind::WorkPhone}));
    typed(u"Mobile", phones({kind::MobilePhone}));
    typed(u"Fax", phones({kind::FaxPhone}));
    typed(u"Pager", phones({kind::PagerPhone}));
    typed(u"Other",
          phones({kind::OtherPhone4, kind::OtherPhone1, kind::OtherPhone2, kind::OtherPhone3}));
    typed(u"Home", addresses(kind::HomeAddress));
    typed(u"Work", addresses(kind::WorkAddress));
    typed(u"Other", addresses(kind::OtherAddress));
    // Web addresses are quoted too, so that a comma in one cannot add a column.
    std::vector<std::u16string> websites;
    contact.websites(websites);
    typed(u"Other", websites);
    plain(u"");
    return row;
}

CsvRow expectedOutlookRow(const IContact& contact, std::int32_t outputCharset) {
    CsvRow row;
    const auto quoted = [&](std::u16string text) {
        for (char16_t& unit : text) {
            if (unit == u'"')
                unit = u'\'';
        }
        row.push_back({asWritten(text, outputCharset), true});
    };
    quoted(contact.givenName());
    row.push_back({u"", false});
    quoted(contact.familyName());
    quoted(contact.firstEmail());
    quoted(contact.phone(kind::MainPhone));
    quoted(contact.phone(kind::HomePhone));
    quoted(contact.phone(kind::MobilePhone));
    row.push_back({u"", false});
    quoted(contact.phone(kind::FaxPhone));
    quoted(contact.phone(kind::WorkPhone));
    return row;
}

}  // namespace test_support
