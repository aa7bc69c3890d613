#include "export/OutlookCSVWriter.h"

#include <utility>

#include "export/ContactField.h"

namespace {

constexpr std::u16string_view kHeader =
    u"\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\",\"Primary Phone\","
    u"\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\",\"Business Phone\"\n";

}  // namespace

OutlookCSVWriter::OutlookCSVWriter(std::u16string path, std::int32_t charset)
    : CSVWriter(std::move(path), charset) {}

void OutlookCSVWriter::writeHeader() {
    writeLine(std::u16string(kHeader));
}

void OutlookCSVWriter::writeContact(const IContact& contact) {
    namespace kind = contact_kind;
    const auto value = [](std::u16string text) {
        for (char16_t& c : text) {
            if (c == u'"') {
                c = u'\'';
            }
        }
        return quoted(text);
    };
    std::u16string row;
    row += value(contact.givenName());
    row += u",,";
    row += value(contact.familyName());
    row += u',';
    row += value(contact.firstEmail());
    row += u',';
    row += value(contact.phone(kind::MainPhone));
    row += u',';
    row += value(contact.phone(kind::HomePhone));
    row += u',';
    row += value(contact.phone(kind::MobilePhone));
    row += u",,";
    row += value(contact.phone(kind::FaxPhone));
    row += u',';
    row += value(contact.phone(kind::WorkPhone));
    row += u'\n';
    writeLine(row);
}
