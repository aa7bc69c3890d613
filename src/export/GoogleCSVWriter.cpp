#include "export/GoogleCSVWriter.h"

#include <utility>

#include "export/ContactField.h"
#include "export/PhoneBirthday.h"

namespace {

constexpr std::u16string_view kHeader =
    u"Name,Given Name,Additional Name,Family Name,Birthday,Occupation,Hobby,Sensitivity,"
    u"Priority,Subject,Group Membership,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,"
    u"E-mail 2 - Value,E-mail 3 - Type,E-mail 3 - Value,Phone 1 - Type,Phone 1 - Value,"
    u"Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Phone 4 - Type,"
    u"Phone 4 - Value,Phone 5 - Type,Phone 5 - Value,Phone 6 - Type,Phone 6 - Value,"
    u"Phone 7 - Type,Phone 7 - Value,Address 1 - Type,Address 1 - Formatted,Address 2 - Type,"
    u"Address 2 - Formatted,Address 3 - Type,Address 3 - Formatted,Website 1 - Type,"
    u"Website 1 - Value";

constexpr std::u16string_view kValueSeparator = u" ::: ";

std::u16string join(const std::vector<std::u16string>& values) {
    std::u16string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += kValueSeparator;
        }
        text += values[i];
    }
    return text;
}

std::u16string escaped(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        out += c;
        if (c == u'"') {
            out += u'"';
        }
    }
    return out;
}

}  // namespace

GoogleCSVWriter::GoogleCSVWriter(std::u16string path, std::int32_t charset)
    : CSVWriter(std::move(path), charset) {}

std::u16string GoogleCSVWriter::formatBirthday(std::u16string_view birthday) {
    if (birthday.empty()) {
        return {};
    }
    return PhoneBirthday(birthday).yearMonthDay();
}

std::u16string GoogleCSVWriter::cleanAddress(std::u16string_view address) {
    // Each separator becomes one space, except those before any text, which are dropped.
    const std::u16string_view separator = kAddressPartSeparator;
    std::u16string out;
    out.reserve(address.size());
    bool leading = true;
    std::size_t pos = 0;
    while (pos < address.size()) {
        if (address.substr(pos, separator.size()) == separator) {
            if (!leading) {
                out += u' ';
            }
            pos += separator.size();
            continue;
        }
        leading = false;
        out += address[pos++];
    }
    return out;
}

std::u16string GoogleCSVWriter::valueCell(const std::vector<std::u16string>& values) {
    return quoted(escaped(join(values)));
}

void GoogleCSVWriter::writeHeader() {
    std::u16string line(kHeader);
    line += u'\n';
    writeLine(line);
}

void GoogleCSVWriter::writeContact(const IContact& contact) {
    namespace kind = contact_kind;
    std::u16string row;
    const auto cell = [&row](std::u16string_view text) {
        row += text;
        row += u',';
    };
    const auto value = [&cell](const std::u16string& text) { cell(valueCell({text})); };
    const auto typed = [&cell](std::u16string_view type, const std::vector<std::u16string>& all) {
        cell(type);
        cell(valueCell(all));
    };
    const auto phones = [&contact](std::initializer_list<std::int32_t> kinds) {
        std::vector<std::u16string> all;
        for (const std::int32_t k : kinds) {
            contact.phones(k, all);
        }
        return all;
    };
    const auto emails = [&contact](std::initializer_list<std::int32_t> kinds) {
        std::vector<std::u16string> all;
        for (const std::int32_t k : kinds) {
            contact.emails(k, all);
        }
        return all;
    };
    const auto addresses = [&contact](std::int32_t k) {
        std::vector<std::u16string> all;
        contact.addresses(k, all);
        for (std::u16string& address : all) {
            address = cleanAddress(address);
        }
        return all;
    };

    const std::u16string familyName = contact.familyName();
    value(contact.givenName() + u" " + familyName);
    cell(u"");
    value(contact.additionalName());
    value(familyName);
    cell(formatBirthday(contact.birthday()));
    for (int i = 0; i < 5; ++i) {
        cell(u"");
    }
    value(contact.group());
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
    // Web addresses are quoted like every other value: a comma in one must not add a column.
    std::vector<std::u16string> websites;
    contact.websites(websites);
    typed(u"Other", websites);
    row += u'\n';
    writeLine(row);
}
