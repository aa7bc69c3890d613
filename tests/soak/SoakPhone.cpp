#include "SoakPhone.h"

#include <algorithm>
#include <array>
#include <set>
#include <string_view>

#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"

namespace soak {

namespace {

enum class Charset { Ucs2, Utf8, Ascii };

// Names by what a charset can carry. Quotes and parentheses travel only as UCS2 hex: in UTF8
// and ASCII they stand inside the phone's quotes unescaped, as on real phones.
constexpr std::array<std::string_view, 8> kAsciiNames{"Ann",     "Bob Ray", "Cy, Jr.",   "O'Neil",
                                                      "Mary-Jo", "Dr. Lee", "Kim; Park", "x"};
constexpr std::array<std::string_view, 6> kWideNames{"Zoë",  "Núñez",  "Жора",
                                                     "李雷", "😀 Grin", "Ørsted"};
constexpr std::array<std::string_view, 4> kHexOnlyNames{"Say \"hi\"", "Ann (work)", "a\"b(c",
                                                        "Line\nbreak"};

constexpr std::array<int, 10> kPhoneTypes{0, 1, 2, 3, 4, 5, 8, 9, 10, 11};
constexpr std::array<int, 5> kEmailTypes{6, 7, 12, 13, 14};

int below(std::mt19937_64& random, int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(random);
}

bool chance(std::mt19937_64& random, int percent) {
    return below(random, 100) < percent;
}

std::u16string name(std::mt19937_64& random, Charset charset) {
    const int pool = below(random, 10);
    if (charset == Charset::Ucs2 && pool == 0)
        return text_codec::fromUtf8(kHexOnlyNames[static_cast<std::size_t>(
            below(random, static_cast<int>(kHexOnlyNames.size())))]);
    if (charset != Charset::Ascii && pool < 5)
        return text_codec::fromUtf8(kWideNames[static_cast<std::size_t>(
            below(random, static_cast<int>(kWideNames.size())))]);
    return text_codec::fromUtf8(
        kAsciiNames[static_cast<std::size_t>(below(random, static_cast<int>(kAsciiNames.size())))]);
}

std::u16string phoneNumber(std::mt19937_64& random) {
    std::string number = chance(random, 60) ? "+49" : "0";
    const int digits = 5 + below(random, 8);
    for (int i = 0; i < digits; ++i)
        number += static_cast<char>('0' + below(random, 10));
    return text_codec::fromUtf8(number);
}

std::u16string email(std::mt19937_64& random, Charset charset) {
    std::string local = std::string(1, static_cast<char>('a' + below(random, 26))) +
                        std::to_string(below(random, 1000));
    if (charset != Charset::Ascii && chance(random, 20))
        local = "zoë" + local;
    return text_codec::fromUtf8(local + "@example.org");
}

// The phone's contacts of one storage at distinct random indexes of its range, each with at
// least one phone number or e-mail address (every phonebook entry shows one) and at most one of
// each kind; SIM contacts of an extended phone carry one phone number at most, since the reader
// files every SIM number as a mobile number.
void fill(std::mt19937_64& random, phonesim::Storage& storage, Charset charset, bool extended,
          bool sim, int groupCount) {
    const int count = below(random, std::min(26, storage.last - storage.first + 2));
    std::set<int> indexes;
    while (static_cast<int>(indexes.size()) < count)
        indexes.insert(storage.first + below(random, storage.last - storage.first + 1));
    for (const int index : indexes) {
        phonesim::Contact contact;
        contact.index = index;
        contact.givenName = name(random, charset);
        if (chance(random, 60))
            contact.familyName = name(random, charset);
        const int items = extended ? 1 + below(random, 3) : 1;
        std::set<int> kinds;
        bool phone = false;
        for (int i = 0; i < items; ++i) {
            const bool wantsPhone = chance(random, 60) && !(sim && extended && phone);
            const int type =
                wantsPhone
                    ? kPhoneTypes[static_cast<std::size_t>(below(random, kPhoneTypes.size()))]
                    : kEmailTypes[static_cast<std::size_t>(below(random, kEmailTypes.size()))];
            if (!kinds.insert(type).second)
                continue;
            phone = phone || wantsPhone;
            contact.items.push_back(
                {type, wantsPhone ? phoneNumber(random) : email(random, charset)});
        }
        if (extended && groupCount > 0 && chance(random, 50))
            contact.group = 1 + below(random, groupCount + 1);  // the last has no name
        storage.contacts.emplace(index, std::move(contact));
    }
}

// Text as plain ASCII carries it: one "?" for every other character (a surrogate pair is one).
std::u16string asAscii(const std::u16string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        out += text[i] < 0x80 ? text[i] : u'?';
        if (pair)
            ++i;
    }
    return out;
}

bool isEmailType(int type) {
    return type == 6 || type == 7 || (type >= 12 && type <= 14);
}

// What the standard reader makes of an entry: the first number or address (an e-mail address
// by its type 128, else a mobile number), which travels as plain ASCII, and the display name as
// the given name.
ExpectedContact standardContact(const phonesim::Contact& contact) {
    ExpectedContact expected;
    expected.index = contact.index;
    expected.givenName = contact.familyName.empty() ? contact.givenName
                                                    : contact.givenName + u" " + contact.familyName;
    expected.group = u"General";
    const phonesim::Item& item = contact.items.front();
    if (isEmailType(item.type))
        expected.emails[14] = asAscii(item.value);
    else
        expected.phones[3] = asAscii(item.value);
    expected.entries = 1;
    return expected;
}

// What the extended reader makes of a contact's lines.
ExpectedContact extendedContact(const phonesim::Contact& contact,
                                const phonesim::GroupTable& groups, bool sim) {
    ExpectedContact expected;
    expected.index = contact.index;
    expected.givenName = contact.givenName;
    expected.familyName = contact.familyName;
    expected.group = u"General";
    if (contact.group) {
        const auto found = groups.names.find(*contact.group);
        if (found != groups.names.end())
            expected.group = found->second;
    }
    for (const phonesim::Item& item : contact.items) {
        if (isEmailType(item.type))
            expected.emails[item.type] = item.value;
        else
            expected.phones[sim ? 3 : item.type] = item.value;
        ++expected.entries;
    }
    return expected;
}

}  // namespace

SoakPhone SoakPhone::draw(std::mt19937_64& random) {
    SoakPhone phone;
    phonesim::Scenario& scenario = phone.scenario;
    phone.extended = chance(random, 50);
    scenario.phone.extended = phone.extended;
    scenario.phone.mode = below(random, 3);

    const auto charset = static_cast<Charset>(below(random, 3));
    switch (charset) {
        case Charset::Ucs2:
            scenario.phone.charsets = {"UCS2", "UTF8", "ASCII", "GSM"};
            phone.charset = u"UCS2";
            phone.outputCharset = output_charset::Ucs2;
            break;
        case Charset::Utf8:
            scenario.phone.charsets = {"UTF8", "ASCII"};
            phone.charset = u"UTF8";
            phone.outputCharset = output_charset::Utf8;
            break;
        case Charset::Ascii:
            scenario.phone.charsets = {"ASCII", "GSM"};
            phone.charset = u"ASCII";
            phone.outputCharset = output_charset::Ascii;
            break;
    }
    scenario.phone.charset = scenario.phone.charsets.back();
    phone.layout = chance(random, 50) ? OutputFormat::GoogleCsv : OutputFormat::OutlookCsv;

    int groupCount = 0;
    if (phone.extended) {
        scenario.groups.names = {{1, u"Family"}, {2, u"Work"}};
        if (charset != Charset::Ascii)
            scenario.groups.names.emplace(3, u"Друзья");
        groupCount = static_cast<int>(scenario.groups.names.size());
        scenario.groups.first = 1;
        scenario.groups.last = 10;
    }

    for (const auto& [storageName, sim] : {std::pair{"ME", false}, std::pair{"SM", true}}) {
        phonesim::Storage storage;
        storage.name = storageName;
        storage.first = 1 + below(random, 3);
        storage.last = storage.first + 4 + below(random, 50);
        storage.capacity = storage.last - storage.first + 1;
        fill(random, storage, charset, phone.extended, sim, groupCount);
        scenario.storages.push_back(std::move(storage));
    }
    phonesim::Storage fixedDialling;
    fixedDialling.name = "FD";
    scenario.storages.push_back(std::move(fixedDialling));

    const int choice = below(random, 4);  // memory, SIM, or both (twice as likely)
    for (const phonesim::Storage& storage : scenario.storages) {
        const bool sim = storage.name == "SM";
        if (storage.name == "FD" || (choice == 0 && sim) || (choice == 1 && !sim))
            continue;
        SoakStorage exported;
        exported.name = storage.name;
        exported.kind = sim ? StorageKind::Sim : StorageKind::Memory;
        exported.first = storage.first;
        exported.last = storage.last;
        for (const auto& [index, contact] : storage.contacts)
            exported.contacts.push_back(phone.extended
                                            ? extendedContact(contact, scenario.groups, sim)
                                            : standardContact(contact));
        phone.exported.push_back(std::move(exported));
    }
    return phone;
}

std::vector<StorageKind> SoakPhone::storageKinds() const {
    std::vector<StorageKind> kinds;
    for (const SoakStorage& storage : exported)
        kinds.push_back(storage.kind);
    return kinds;
}

}  // namespace soak
