#include "export/VCardWriter.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "charsets/Utf16.h"
#include "export/ContactField.h"
#include "export/PhoneBirthday.h"

namespace {

using Kind = VCardWriter::Kind;

// Octets of a line, its line break not counted.
constexpr std::size_t kLineOctets = 75;

constexpr std::u16string_view kBegin = u"BEGIN:VCARD\nVERSION:3.0\n";
constexpr std::u16string_view kEnd = u"END:VCARD\n";

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

constexpr Kind kUrl{0, u"URL"};
constexpr Kind kCategories{0, u"CATEGORIES"};

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
    appendEscaped(out, text);
    return out;
}

void VCardWriter::appendEscaped(std::u16string& out, std::u16string_view text) {
    // Most text needs nothing done: it is copied in runs up to the next unit that does.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool plain = (c >= 0x20 && c < 0x7F && c != u'\\' && c != u',' && c != u';') ||
                           (c >= 0x80 && !utf16::isSurrogate(c)) || c == u'\t';
        if (plain) {
            continue;
        }
        out.append(text.substr(run, i - run));
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
                }
                // Any other control character is left out.
                break;
        }
        run = i + 1;
    }
    out.append(text.substr(std::min(run, text.size())));
}

void VCardWriter::fold(std::size_t start) {
    line_.assign(card_, start);
    card_.resize(start);
    const std::u16string_view line = line_;
    std::size_t octets = 0;
    std::size_t run = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        // An escape and a surrogate pair are two units that stay together.
        std::size_t units = 1;
        std::size_t size = 2;
        if (line[i] != u'\\' || i + 1 == line.size()) {
            units = utf16::unitsAt(line, i);
            size = utf8Octets(utf16::codePointAt(line, i));
        }
        if (octets + size > kLineOctets) {
            card_.append(line.substr(run, i - run));
            card_ += u"\n ";
            run = i;
            octets = 1;
        }
        octets += size;
        i += units;
    }
    card_.append(line.substr(run));
}

void VCardWriter::endProperty(std::size_t start) {
    // The octets of the line, a surrogate pair counting four; only a long line is folded.
    std::size_t octets = 0;
    for (std::size_t i = start; i < card_.size(); ++i) {
        const char16_t c = card_[i];
        octets += c < 0x80 ? 1u : c < 0x800 || utf16::isSurrogate(c) ? 2u : 3u;
    }
    if (octets > kLineOctets) {
        fold(start);
    }
    card_ += u'\n';
}

void VCardWriter::appendProperty(std::u16string_view nameAndParameters, std::u16string_view text) {
    const std::size_t start = card_.size();
    card_ += nameAndParameters;
    card_ += u':';
    appendEscaped(card_, text);
    endProperty(start);
}

void VCardWriter::appendValues(const Kind& kind, const std::vector<std::u16string>& values) {
    for (const std::u16string& value : values) {
        const std::size_t start = card_.size();
        card_ += kind.property;
        card_ += u':';
        const std::size_t valueStart = card_.size();
        appendEscaped(card_, value);
        if (card_.size() == valueStart) {
            card_.resize(start);  // nothing left of it: no property
        } else {
            endProperty(start);
        }
    }
}

std::u16string VCardWriter::displayName(const IContact& contact, const std::u16string& given,
                                        const std::u16string& family) {
    if (!isBlank(given) && !isBlank(family)) {
        return given + u" " + family;
    }
    if (!isBlank(given) || !isBlank(family)) {
        return isBlank(given) ? family : given;
    }
    // No name: the first number, else the first e-mail address, as the card lists them.
    for (const Kind& kind : kPhoneKinds) {
        values_.clear();
        contact.phones(kind.kind, values_);
        for (const std::u16string& value : values_) {
            if (std::u16string text = escaped(value); !text.empty()) {
                return text;
            }
        }
    }
    for (const Kind& kind : kEmailKinds) {
        values_.clear();
        contact.emails(kind.kind, values_);
        for (const std::u16string& value : values_) {
            if (std::u16string text = escaped(value); !text.empty()) {
                return text;
            }
        }
    }
    return {};
}

void VCardWriter::writeContact(const IContact& contact) {
    const std::u16string given = escaped(contact.givenName());
    const std::u16string family = escaped(contact.familyName());

    card_.assign(kBegin);
    std::size_t start = card_.size();
    card_ += u"N:";
    card_ += family;
    card_ += u';';
    card_ += given;
    card_ += u';';
    appendEscaped(card_, contact.additionalName());
    card_ += u";;";
    endProperty(start);
    start = card_.size();
    card_ += u"FN:";
    card_ += displayName(contact, given, family);
    endProperty(start);

    for (const Kind& kind : kPhoneKinds) {
        values_.clear();
        contact.phones(kind.kind, values_);
        appendValues(kind, values_);
    }
    for (const Kind& kind : kEmailKinds) {
        values_.clear();
        contact.emails(kind.kind, values_);
        appendValues(kind, values_);
    }
    for (const Kind& kind : kAddressKinds) {
        values_.clear();
        contact.addresses(kind.kind, values_);
        for (const std::u16string& address : values_) {
            const auto parts = addressParts(address);
            start = card_.size();
            card_ += kind.property;
            card_ += u":;";
            const std::size_t valueStart = card_.size();
            // The phone's order is street, extended address, ...; the vCard's the other way.
            for (const std::size_t part : {1u, 0u, 2u, 3u, 4u, 5u}) {
                if (part != 1u) {
                    card_ += u';';
                }
                appendEscaped(card_, parts[part]);
            }
            if (card_.size() - valueStart == 5) {
                card_.resize(start);  // only the separators: no property
            } else {
                endProperty(start);
            }
        }
    }
    values_.clear();
    contact.websites(values_);
    appendValues(kUrl, values_);
    if (const std::optional<std::u16string> birthday = PhoneBirthday(contact.birthday()).date()) {
        appendProperty(u"BDAY", *birthday);
    }
    const std::u16string group = contact.group();
    if (group != kDefaultContactGroup) {
        appendValues(kCategories, {group});
    }
    const std::string uid = uids_.uidFor(contact);
    card_ += u"UID:";
    card_.append(uid.begin(), uid.end());
    card_ += u'\n';
    card_ += kEnd;
    writeLine(card_);
    uids_.written(contact);
}
