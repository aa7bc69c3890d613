#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// A table from charset name, as phones spell it, to code page.
class CharsetMap {
public:
    virtual ~CharsetMap();

    // The code page of a name; the name is upper-cased (ASCII letters only) before the look-up.
    // Unknown names give 0, the locale's charset.
    std::uint32_t codePageOf(const std::u16string& name) const;

    // The first name (in table order) whose code page is codePage; false when there is none.
    bool nameOfCodePage(std::uint32_t codePage, std::u16string& name) const;

    // Exact, case-sensitive test of a name as the phone reported it.
    bool contains(const std::u16string& name) const;

protected:
    CharsetMap(std::initializer_list<std::pair<std::u16string, std::uint32_t>> entries);

private:
    // In insertion order, which is the order nameOfCodePage walks; a handful of entries.
    std::vector<std::pair<std::u16string, std::uint32_t>> entries_;
};

// Charsets whose phone text the program can decode: UCS2, UTF8 and ASCII, which the maker's
// phones are read in, and the 8859-1, GSM and IRA of other makers' phones, with the spelling
// UTF-8 that some of them use. Each code page's first name is the one nameOfCodePage gives.
class AvailableMbsToUcsCharsets final : public CharsetMap {
public:
    static const AvailableMbsToUcsCharsets& instance();

private:
    AvailableMbsToUcsCharsets();
};

// Charsets into which the program can encode text for the phone: ASCII and UTF8.
class AvailableUcsToMbsCharsets final : public CharsetMap {
public:
    static const AvailableUcsToMbsCharsets& instance();

private:
    AvailableUcsToMbsCharsets();
};
