#include "charsets/CharsetMap.h"

#include "charsets/AsciiCase.h"
#include "charsets/CodePages.h"

CharsetMap::CharsetMap(
    std::initializer_list<std::pair<const std::u16string, std::uint32_t>> entries)
    : entries_(entries) {}

CharsetMap::~CharsetMap() = default;

std::uint32_t CharsetMap::codePageOf(const std::u16string& name) const {
    const auto found = entries_.find(ascii_case::upperCased(name));
    return found == entries_.end() ? code_page::SystemDefault : found->second;
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
    return entries_.find(name) != entries_.end();
}

AvailableMbsToUcsCharsets::AvailableMbsToUcsCharsets()
    : CharsetMap(
          {{u"UCS2", code_page::Utf16}, {u"UTF8", code_page::Utf8}, {u"ASCII", code_page::Ascii}}) {
}

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
