#include "export/VCardWriter.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "charsets/TextCodec.h"
#include "charsets/Utf16.h"
#include "export/ContactField.h"
#include "export/PhoneBirthday.h"

namespace {

// Octets of a line, its line break not counted.
constexpr std::size_t kLineOctets = 75;

constexpr std::u16string_view kBegin = u"BEGIN:VCARD\nVERSION:3.0\n";
constexpr std::u16string_view kEnd = u"END:VCARD\n";

struct Kind {
    std::int32_t kind;
    std::u16string_view property;  // with its parameters
};

// Every phone kind a contact can hold, in ascending order.
constexpr std::array<Kind, 10> kPhoneKinds{{
    {contact_kind::WorkPhone, u"TEL;TYPE=WORK,VOICE"},
    {contact_kind::HomePhone, u"TEL;TYPE=HOME,VOICE"},
    {contact_kind::MainPhone, u"TEL;TYPE=PREF,VOICE"},
    {contact_kind::MobilePhone, u"TEL;TYPE=CELL"},
    {contact_kind::FaxPhone, u"TEL;TYPE=FAX"},
    {contact_kind::PagerPhone, u"TEL;TYPE=PAGER"},
    {contact_kind::OtherPhone1, u"TEL;TYPE=VOICE"},
    {contact_kind::OtherPhone2, u"TEL;TYPE=VOICE"},
    {contact_kind::OtherPhone3, u"TEL;TYPE=VOICE"},
    {contact_kind::OtherPhone4, u"TEL;TYPE=VOICE"},
}};

constexpr std::array<Kind, 5> kEmailKinds{{
    {contact_kind::ExtraOtherEmail, u"EMAIL;TYPE=INTERNET"},
    {contact_kind::PlainEmail, u"EMAIL;TYPE=INTERNET"},
    {contact_kind::HomeEmail, u"EMAIL;TYPE=INTERNET,HOME"},
    {contact_kind::WorkEmail, u"EMAIL;TYPE=INTERNET,WORK"},
    {contact_kind::OtherEmail, u"EMAIL;TYPE=INTERNET"},
}};

constexpr std::array<Kind, 3> kAddressKinds{{
    {contact_kind::HomeAddress, u"ADR;TYPE=HOME"},
    {contact_kind::WorkAddress, u"ADR;TYPE=WORK"},
    {contact_kind::OtherAddress, u"ADR"},
}};

// The octets a character takes in UTF-8 (an unpaired surrogate, written as U+FFFD, takes three).
std::size_t utf8Octets(char32_t codePoint) {
    if (codePoint < 0x80) {
        return 1;
    }
    if (codePoint < 0x800) {
        return 2;
    }
    return codePoint < 0x10000 ? 3 : 4;
}

bool isBlank(std::u16string_view text) {
    for (const char16_t c : text) {
        if (c != u' ' && c != u'\t') {
            return false;
        }
    }
    return true;
}

// The six parts of a stored postal address; a text with more separators keeps the rest in the
// last part, so that nothing is lost.
std::array<std::u16string_view, 6> addressParts(std::u16string_view address) {
    const std::u16string_view separator = kAddressPartSeparator;
    std::array<std::u16string_view, 6> parts;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::size_t end = address.find(separator);
        if (end == std::u16string_view::npos) {
            parts[i] = address;
            return parts;
        }
        parts[i] = address.substr(0, end);
        address.remove_prefix(end + separator.size());
    }
    parts.back() = address;
    return parts;
}

}  // namespace

VCardWriter::VCardWriter(std::u16string path, const std::u16string& imei)
    : CSVWriter(std::move(path), Utf8WithoutMark{}), uids_(imei) {}

void VCardWriter::writeHeader() {}

std::u16string VCardWriter::escaped(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        switch (c) {
            case u'\\':
            case u',':
            case u';':
                out += u'\\';
                out += c;
                break;
            case u'\r':
                if (i + 1 < text.size() && text[i + 1] == u'\n') {
                    ++i;
                }
                out += u"\\n";
                break;
            case u'\n':
                out += u"\\n";
                break;
            default:
                if (utf16::isPairAt(text, i)) {
                    out.append(text.substr(i++, 2));
                } else if (utf16::isSurrogate(c)) {
                    // Never paired up with another half once what stood between them is gone.
                    out += static_cast<char16_t>(utf16::kReplacement);
                } else if ((c >= 0x20 && c != 0x7F) || c == u'\t') {
                    out += c;
                }
                break;
        }
    }
    return out;
}

void VCardWriter::appendFolded(std::u16string_view line) {
    std::size_t octets = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        // An escape and a surrogate pair are two units that stay together.
        std::size_t units = 1;
        std::size_t size = 1;
        if (line[i] == u'\\' && i + 1 < line.size()) {
            units = 2;
            size = 2;
        } else {
            units = utf16::unitsAt(line, i);
            size = utf8Octets(utf16::codePointAt(line, i));
        }
        if (octets + size > kLineOctets) {
            card_ += u"\n ";
            octets = 1;
        }
        card_.append(line.substr(i, units));
        octets += size;
        i += units;
    }
    card_ += u'\n';
}

void VCardWriter::appendProperty(std::u16string_view nameAndParameters, std::u16string_view value) {
    line_.assign(nameAndParameters);
    line_ += u':';
    line_ += value;
    appendFolded(line_);
}

void VCardWriter::writeContact(const IContact& contact) {
    std::vector<std::u16string> values;
    const auto valuesOf = [&values](auto&& fill) {
        values.clear();
        fill(values);
        for (std::u16string& value : values) {
            value = escaped(value);
        }
    };

    // The numbers and e-mail addresses come first: the name may fall back to one of them.
    std::vector<std::pair<std::u16string_view, std::u16string>> phones;
    for (const Kind& kind : kPhoneKinds) {
        valuesOf([&](auto& list) { contact.phones(kind.kind, list); });
        for (std::u16string& value : values) {
            if (!value.empty()) {
                phones.emplace_back(kind.property, std::move(value));
            }
        }
    }
    std::vector<std::pair<std::u16string_view, std::u16string>> emails;
    for (const Kind& kind : kEmailKinds) {
        valuesOf([&](auto& list) { contact.emails(kind.kind, list); });
        for (std::u16string& value : values) {
            if (!value.empty()) {
                emails.emplace_back(kind.property, std::move(value));
            }
        }
    }

    const std::u16string given = escaped(contact.givenName());
    const std::u16string family = escaped(contact.familyName());
    std::u16string displayName;
    if (!isBlank(given) && !isBlank(family)) {
        displayName = given + u" " + family;
    } else if (!isBlank(given)) {
        displayName = given;
    } else if (!isBlank(family)) {
        displayName = family;
    } else if (!phones.empty()) {
        displayName = phones.front().second;
    } else if (!emails.empty()) {
        displayName = emails.front().second;
    }

    card_.assign(kBegin);
    appendProperty(u"N", family + u';' + given + u';' + escaped(contact.additionalName()) + u";;");
    appendProperty(u"FN", displayName);
    for (const auto& [property, value] : phones) {
        appendProperty(property, value);
    }
    for (const auto& [property, value] : emails) {
        appendProperty(property, value);
    }
    std::vector<std::u16string> addresses;
    for (const Kind& kind : kAddressKinds) {
        addresses.clear();
        contact.addresses(kind.kind, addresses);
        for (const std::u16string& address : addresses) {
            const auto parts = addressParts(address);
            const std::array<std::u16string, 7> places{u"",
                                                       escaped(parts[1]),
                                                       escaped(parts[0]),
                                                       escaped(parts[2]),
                                                       escaped(parts[3]),
                                                       escaped(parts[4]),
                                                       escaped(parts[5])};
            std::u16string value;
            bool empty = true;
            for (std::size_t i = 0; i < places.size(); ++i) {
                if (i > 0) {
                    value += u';';
                }
                value += places[i];
                empty = empty && places[i].empty();
            }
            if (!empty) {
                appendProperty(kind.property, value);
            }
        }
    }
    valuesOf([&](auto& list) { contact.websites(list); });
    for (const std::u16string& value : values) {
        if (!value.empty()) {
            appendProperty(u"URL", value);
        }
    }
    if (const std::optional<std::u16string> birthday = PhoneBirthday(contact.birthday()).date()) {
        appendProperty(u"BDAY", *birthday);
    }
    const std::u16string group = contact.group();
    const std::u16string category = escaped(group);
    if (group != kDefaultContactGroup && !category.empty()) {
        appendProperty(u"CATEGORIES", category);
    }
    appendProperty(u"UID", text_codec::fromUtf8(uids_.uidFor(contact)));
    card_ += kEnd;
    writeLine(card_);
    uids_.written(contact);
}
