#include "ExpectedCsv.h"

#include <initializer_list>

#include "charsets/CharsetChoice.h"
#include "export/OutputFormat.h"

namespace soak {

namespace {

using test_support::CsvCell;
using test_support::CsvRow;

std::u16string valueOf(const std::map<std::int32_t, std::u16string>& values, std::int32_t kind) {
    const auto found = values.find(kind);
    return found == values.end() ? std::u16string() : found->second;
}

// The values of the kinds, in the order given, joined as the Google layout joins them.
std::u16string joined(const std::map<std::int32_t, std::u16string>& values,
                      std::initializer_list<std::int32_t> kinds) {
    std::u16string text;
    for (const std::int32_t kind : kinds) {
        const auto found = values.find(kind);
        if (found == values.end())
            continue;
        if (!text.empty())
            text += u" ::: ";
        text += found->second;
    }
    return text;
}

std::size_t utf8Size(const std::u16string& text) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80)
            size += 1;
        else if (unit < 0x800)
            size += 2;
        else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            size += 4;
            ++i;
        } else
            size += 3;
    }
    return size;
}

}  // namespace

std::u16string ExpectedCsv::asWritten(const std::u16string& text) const {
    if (outputCharset_ != output_charset::Ascii)
        return text;
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i] < 0x80 ? text[i] : u'?';
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size())
            ++i;
    }
    return out;
}

CsvRow ExpectedCsv::header() const {
    CsvRow row;
    if (layout_ == OutputFormat::OutlookCsv) {
        for (const char16_t* name :
             {u"First Name", u"Middle Name", u"Last Name", u"E-mail Address", u"Primary Phone",
              u"Home Phone", u"Mobile Phone", u"Pager", u"Home Fax", u"Business Phone"})
            row.push_back({name, true});
        return row;
    }
    for (const char16_t* name : {u"Name",
                                 u"Given Name",
                                 u"Additional Name",
                                 u"Family Name",
                                 u"Birthday",
                                 u"Occupation",
                                 u"Hobby",
                                 u"Sensitivity",
                                 u"Priority",
                                 u"Subject",
                                 u"Group Membership",
                                 u"E-mail 1 - Type",
                                 u"E-mail 1 - Value",
                                 u"E-mail 2 - Type",
                                 u"E-mail 2 - Value",
                                 u"E-mail 3 - Type",
                                 u"E-mail 3 - Value",
                                 u"Phone 1 - Type",
                                 u"Phone 1 - Value",
                                 u"Phone 2 - Type",
                                 u"Phone 2 - Value",
                                 u"Phone 3 - Type",
                                 u"Phone 3 - Value",
                                 u"Phone 4 - Type",
                                 u"Phone 4 - Value",
                                 u"Phone 5 - Type",
                                 u"Phone 5 - Value",
                                 u"Phone 6 - Type",
                                 u"Phone 6 - Value",
                                 u"Phone 7 - Type",
                                 u"Phone 7 - Value",
                                 u"Address 1 - Type",
                                 u"Address 1 - Formatted",
                                 u"Address 2 - Type",
                                 u"Address 2 - Formatted",
                                 u"Address 3 - Type",
                                 u"Address 3 - Formatted",
                                 u"Website 1 - Type",
                                 u"Website 1 - Value"})
        row.push_back({name, false});
    return row;
}

CsvRow ExpectedCsv::row(const ExpectedContact& contact) const {
    CsvRow row;
    const auto quoted = [&](const std::u16string& text) { row.push_back({asWritten(text), true}); };
    const auto plain = [&](const std::u16string& text) { row.push_back({text, false}); };
    if (layout_ == OutputFormat::OutlookCsv) {
        const auto outlook = [&](std::u16string text) {
            for (char16_t& unit : text) {
                if (unit == u'"')
                    unit = u'\'';
            }
            quoted(text);
        };
        // The first e-mail address is the one of the lowest kind.
        const std::u16string firstEmail =
            contact.emails.empty() ? std::u16string() : contact.emails.begin()->second;
        outlook(contact.givenName);
        plain(u"");
        outlook(contact.familyName);
        outlook(firstEmail);
        outlook(valueOf(contact.phones, 2));
        outlook(valueOf(contact.phones, 1));
        outlook(valueOf(contact.phones, 3));
        plain(u"");
        outlook(valueOf(contact.phones, 4));
        outlook(valueOf(contact.phones, 0));
        return row;
    }
    quoted(contact.givenName + u" " + contact.familyName);
    plain(u"");
    quoted(u"");
    quoted(contact.familyName);
    for (int i = 0; i < 6; ++i)
        plain(u"");
    quoted(contact.group);
    const auto typed = [&](const char16_t* type, const std::u16string& value) {
        plain(type);
        quoted(value);
    };
    typed(u"Work", joined(contact.emails, {13}));
    typed(u"Home", joined(contact.emails, {12}));
    typed(u"Other", joined(contact.emails, {6, 14}));
    typed(u"Main", joined(contact.phones, {2}));
    typed(u"Home", joined(contact.phones, {1}));
    typed(u"Work", joined(contact.phones, {0}));
    typed(u"Mobile", joined(contact.phones, {3}));
    typed(u"Fax", joined(contact.phones, {4}));
    typed(u"Pager", joined(contact.phones, {5}));
    typed(u"Other", joined(contact.phones, {11, 8, 9, 10}));
    typed(u"Home", u"");
    typed(u"Work", u"");
    typed(u"Other", u"");
    typed(u"Other", u"");
    plain(u"");
    return row;
}

std::size_t ExpectedCsv::markSize() const {
    switch (outputCharset_) {
        case output_charset::Ucs2:
            return 2;
        case output_charset::Utf8:
            return 3;
        default:
            return 0;
    }
}

std::size_t ExpectedCsv::size(const CsvRow& row) const {
    // The row's text as the writer lays it out: quoted cells with inner quotes doubled, commas
    // between cells, every line feed (in values too) as CR LF.
    std::u16string text;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            text += u',';
        if (row[i].quoted)
            text += u'"';
        for (const char16_t unit : row[i].text) {
            if (unit == u'"')
                text += u'"';
            if (unit == u'\n')
                text += u'\r';
            text += unit;
        }
        if (row[i].quoted)
            text += u'"';
    }
    text += u"\r\n";
    switch (outputCharset_) {
        case output_charset::Ucs2:
            return text.size() * 2;
        case output_charset::Utf8:
            return utf8Size(text);
        default:
            return text.size();
    }
}

}  // namespace soak
