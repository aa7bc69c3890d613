#include "charsets/CharsetMap.h"

#include <algorithm>

#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"

CharsetMap::CharsetMap(std::initializer_list<std::pair<std::u16string, std::uint32_t>> entries)
    : entries_(entries) {}

CharsetMap::~CharsetMap() = default;

std::uint32_t CharsetMap::codePageOf(const std::u16string& name) const {
    const std::u16string key = ascii_case::upperCased(name);
    for (const auto& [entryName, entryCodePage] : entries_) {
        if (entryName == key)
            return entryCodePage;
    }
    return code_page::SystemDefault;
}

bool CharsetMap::nameOfCodePage(std::uint32_t codePage, std::u16string& name) const {
    for (const auto& [entryName, entryCodePage] : entries_) {
        if (entryCodePage == codePage) {
            name = entryName;
            return true;
        }
    }
    return false;
}

bool CharsetMap::contains(const std::u16string& name) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&name](const auto& entry) { return entry.first == name; });
}

AvailableMbsToUcsCharsets::AvailableMbsToUcsCharsets()
    : CharsetMap({{u"UCS2", code_page::Utf16},
                  {u"UTF8", code_page::Utf8},
                  {u"ASCII", code_page::Ascii},
                  {u"8859-1", code_page::Latin1},
                  {u"GSM", code_page::Gsm},
                  {u"IRA", code_page::Ascii},
                  {u"UTF-8", code_page::Utf8}}) {}

const AvailableMbsToUcsCharsets& AvailableMbsToUcsCharsets::instance() {
    static const AvailableMbsToUcsCharsets table;
    return table;
}

AvailableUcsToMbsCharsets::AvailableUcsToMbsCharsets()
    : CharsetMap({{u"ASCII", code_page::Ascii}, {u"UTF8", code_page::Utf8}}) {}

const AvailableUcsToMbsCharsets& AvailableUcsToMbsCharsets::instance() {
    static const AvailableUcsToMbsCharsets table;
    return table;
}
