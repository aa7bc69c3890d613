// Contacts of any text through the vCard writer, read back by a reader of our own
// (tests/support/VCardReadBack). For any contact: the file is one card that keeps every line rule
// (CR LF, at most 75 octets a line, no UTF-8 sequence cut by a fold, only the escapes of the
// format), its properties come in the layout's order, and every value reads back as the
// contact's text with its line breaks as LF, its control characters left out and the halves of
// surrogate pairs as U+FFFD; empty values give no property. The birthday is there exactly when
// the Google layout's text of it names a day; the UID is name-based exactly when the phone's IMEI
// and the contact's index are known.
//
// Input: byte 0 chooses bit 0 an IMEI, bit 1 an index, bits 2-3 the storage; the rest is split at
// NUL bytes into the given, family and additional name, the birthday and the group, then one
// value per part: its first byte picks the field (modulo 4: phone, e-mail, postal, web address)
// and the kind (divided by 4), the rest is its text. Texts are read as UTF-8 in which an encoded
// surrogate stands for that unit and every byte that starts no sequence for the character of its
// value, so that any text can come in, control characters and half pairs included.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "ScratchFolder.h"
#include "VCardReadBack.h"
#include "charsets/TextCodec.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/GoogleCSVWriter.h"
#include "export/VCardWriter.h"

namespace {

using fuzz_support::check;
using fuzz_support::printable;
using test_support::VCard;
using test_support::VCardProperty;
namespace kind = contact_kind;

constexpr std::int32_t kPhoneKinds[] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11};
constexpr std::int32_t kEmailKinds[] = {6, 7, 12, 13, 14};
constexpr std::int32_t kAddressKinds[] = {15, 16, 17};

std::u16string textOf(std::string_view bytes) {
    std::u16string text;
    std::size_t i = 0;
    const auto at = [&bytes](std::size_t position) {
        return static_cast<unsigned char>(bytes[position]);
    };
    const auto continuation = [&](std::size_t position) {
        return position < bytes.size() && (at(position) & 0xC0) == 0x80;
    };
    while (i < bytes.size()) {
        const unsigned char lead = at(i);
        if (lead >= 0xE0 && lead < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            text += static_cast<char16_t>(((lead & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) |
                                          (at(i + 2) & 0x3F));
            i += 3;
        } else if (lead >= 0xC2 && lead < 0xE0 && continuation(i + 1)) {
            text += static_cast<char16_t>(((lead & 0x1F) << 6) | (at(i + 1) & 0x3F));
            i += 2;
        } else if (lead >= 0xF0 && lead < 0xF5 && continuation(i + 1) && continuation(i + 2) &&
                   continuation(i + 3)) {
            const char32_t point = ((lead & 0x07u) << 18) | ((at(i + 1) & 0x3Fu) << 12) |
                                   ((at(i + 2) & 0x3Fu) << 6) | (at(i + 3) & 0x3Fu);
            if (point >= 0x10000 && point <= 0x10FFFF) {
                text += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
                text += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
            } else {
                text += u'?';
            }
            i += 4;
        } else {
            text += static_cast<char16_t>(lead);
            ++i;
        }
    }
    return text;
}

// What a value reads back as: line breaks as LF, control characters left out, unpaired halves
// of surrogate pairs as U+FFFD.
std::u16string readBack(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += c;
            out += text[++i];
        } else if (high || low) {
            out += u'\xFFFD';
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u'\n';
        } else if (c == u'\n' || c == u'\t' || (c >= 0x20 && c != 0x7F)) {
            out += c;
        }
    }
    return out;
}

bool blank(std::u16string_view text) {
    return text.find_first_not_of(u" \t") == std::u16string_view::npos;
}

struct Expected {
    std::string name;
    std::string parameters;
    std::vector<std::u16string> components;
};

void expectAll(std::vector<Expected>& expected, const char* name, const char* parameters,
               const std::vector<std::u16string>& values) {
    for (const std::u16string& value : values) {
        std::u16string text = readBack(value);
        if (!text.empty())
            expected.push_back({name, parameters, {std::move(text)}});
    }
}

// Whether the Google layout's birthday text is a day of the calendar.
std::optional<std::u16string> googleDate(const std::u16string& birthday) {
    if (birthday.empty())
        return std::nullopt;
    const std::u16string text = GoogleCSVWriter::formatBirthday(birthday);
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    // The number of the digits from..to, or -1.
    const auto number = [&text](std::size_t from, std::size_t to) {
        int value = 0;
        for (std::size_t i = from; i < to; ++i) {
            if (text[i] < u'0' || text[i] > u'9')
                return -1;
            value = value * 10 + (text[i] - u'0');
        }
        return value;
    };
    const int year = number(0, 4);
    const int month = number(5, 7);
    const int day = number(8, 10);
    if (year < 1 || month < 0 || day < 0 ||
        !std::chrono::year_month_day{std::chrono::year(year),
                                     std::chrono::month(static_cast<unsigned>(month)),
                                     std::chrono::day(static_cast<unsigned>(day))}
             .ok())
        return std::nullopt;
    return text;
}

std::vector<std::u16string> valuesOf(const Contact& contact, int field, std::int32_t k) {
    std::vector<std::u16string> values;
    if (field == 0)
        contact.phones(k, values);
    else if (field == 1)
        contact.emails(k, values);
    else
        contact.addresses(k, values);
    return values;
}

// The properties the card must have after VERSION, in order, UID aside.
std::vector<Expected> expectedCard(const Contact& contact) {
    std::vector<Expected> expected;
    const std::u16string given = readBack(contact.givenName());
    const std::u16string family = readBack(contact.familyName());
    expected.push_back({"N", "", {family, given, readBack(contact.additionalName()), u"", u""}});
    std::vector<Expected> values;
    const char* const phoneTypes[] = {"TYPE=WORK,VOICE", "TYPE=HOME,VOICE", "TYPE=PREF,VOICE",
                                      "TYPE=CELL",       "TYPE=FAX",        "TYPE=PAGER"};
    for (const std::int32_t k : kPhoneKinds)
        expectAll(values, "TEL", k <= 5 ? phoneTypes[k] : "TYPE=VOICE", valuesOf(contact, 0, k));
    for (const std::int32_t k : kEmailKinds) {
        expectAll(values, "EMAIL",
                  k == kind::HomeEmail   ? "TYPE=INTERNET,HOME"
                  : k == kind::WorkEmail ? "TYPE=INTERNET,WORK"
                                         : "TYPE=INTERNET",
                  valuesOf(contact, 1, k));
    }
    std::u16string display;
    if (!blank(given) && !blank(family))
        display = given + u" " + family;
    else if (!blank(given) || !blank(family))
        display = blank(given) ? family : given;
    else if (!values.empty())
        display = values.front().components.front();
    expected.push_back({"FN", "", {display}});
    for (Expected& value : values)
        expected.push_back(std::move(value));
    for (const std::int32_t k : kAddressKinds) {
        for (const std::u16string& address : valuesOf(contact, 2, k)) {
            std::vector<std::u16string> parts;
            std::u16string_view rest = address;
            while (parts.size() < 5 && rest.find(u";|;") != std::u16string_view::npos) {
                parts.emplace_back(rest.substr(0, rest.find(u";|;")));
                rest.remove_prefix(rest.find(u";|;") + 3);
            }
            parts.emplace_back(rest);
            parts.resize(6);
            std::vector<std::u16string> places = {u"",      parts[1], parts[0], parts[2],
                                                  parts[3], parts[4], parts[5]};
            bool empty = true;
            for (std::u16string& place : places) {
                place = readBack(place);
                empty = empty && place.empty();
            }
            if (!empty)
                expected.push_back({"ADR",
                                    k == 15   ? "TYPE=HOME"
                                    : k == 16 ? "TYPE=WORK"
                                              : "",
                                    std::move(places)});
        }
    }
    std::vector<std::u16string> websites;
    contact.websites(websites);
    expectAll(expected, "URL", "", websites);
    if (const auto date = googleDate(contact.birthday()))
        expected.push_back({"BDAY", "", {*date}});
    const std::u16string group = readBack(contact.group());
    if (contact.group() != u"General" && !group.empty())
        expected.push_back({"CATEGORIES", "", {group}});
    return expected;
}

std::string describe(const std::string& name, const std::string& parameters,
                     const std::vector<std::u16string>& components) {
    std::string text = name + (parameters.empty() ? "" : ";" + parameters) + ":";
    for (std::size_t i = 0; i < components.size(); ++i)
        text += (i > 0 ? ";" : "") + printable(components[i], 120);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const std::vector<std::string_view> fields = fuzz_support::nulSeparated(
        std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    Contact contact;
    const std::int32_t singles[] = {ContactField::GivenName, ContactField::FamilyName,
                                    ContactField::AdditionalName, ContactField::Birthday,
                                    ContactField::Group};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i < std::size(singles)) {
            contact.setText(singles[i], textOf(fields[i]));
            continue;
        }
        if (fields[i].empty())
            continue;
        const auto selector = static_cast<unsigned char>(fields[i][0]);
        const std::u16string text = textOf(fields[i].substr(1));
        const unsigned choice = selector / 4u;
        switch (selector % 4u) {
            case 0:
                contact.addPhone(kPhoneKinds[choice % std::size(kPhoneKinds)], text);
                break;
            case 1:
                contact.addEmail(kEmailKinds[choice % std::size(kEmailKinds)], text);
                break;
            case 2:
                contact.addAddress(kAddressKinds[choice % std::size(kAddressKinds)], text);
                break;
            default:
                contact.addWebsite(text);
                break;
        }
    }
    const bool imei = (options & 1) != 0;
    const bool indexed = (options & 2) != 0;
    contact.setStorage(static_cast<StorageKind>((options >> 2) & 3));
    if (indexed)
        contact.setFirstIndex(static_cast<std::int64_t>(size));

    const auto path = fuzz_support::ScratchFolder::instance().path() / "contact.vcf";
    {
        VCardWriter writer(text_codec::fromUtf8(path.string()), imei ? u"351234567890123" : u"");
        writer.writeHeader();
        writer.writeContact(contact);
    }
    std::ifstream stream(path, std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(stream), {}};

    std::vector<VCard> cards;
    std::string problem;
    FUZZ_CHECK(test_support::readVCardFile(file, cards, problem), "the vCard does not read back",
               problem + ": " + printable(file));
    FUZZ_CHECK(cards.size() == 1, "not one card for one contact", printable(file));
    const std::vector<VCardProperty>& properties = cards[0].properties;
    const std::vector<Expected> expected = expectedCard(contact);
    FUZZ_CHECK(properties.size() == expected.size() + 2, "the card has other properties",
               std::to_string(properties.size()) + " properties, " +
                   std::to_string(expected.size() + 2) + " expected: " + printable(file));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VCardProperty& property = properties[i + 1];
        const Expected& want = expected[i];
        FUZZ_CHECK(property.name == want.name && property.parameters == want.parameters &&
                       property.components == want.components,
                   "a property does not read back as the contact's value",
                   describe(property.name, property.parameters, property.components) +
                       " instead of " + describe(want.name, want.parameters, want.components));
    }
    const VCardProperty& uid = properties.back();
    FUZZ_CHECK(uid.name == "UID" && uid.parameters.empty() && uid.components.size() == 1 &&
                   uid.components[0].size() == 36,
               "the card does not end with its UID", printable(file));
    const char16_t version = uid.components[0][14];
    check(version == (imei && indexed ? u'5' : u'4'), "the UID is of the wrong version");
    return 0;
}
