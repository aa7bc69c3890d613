#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An INI file in memory: sections of "key=value" lines, as the settings file holds them.
//
// Section names and keys compare without regard to ASCII letter case; the first section of a
// name and the first key of a name within it are the ones that count. Names and values are
// stored with the escapes of ini_escaping, so any text round-trips. Lines this class does not
// change (comments, lines it cannot read, other sections and keys) are written back exactly as
// they were read, so that editing one key never disturbs another.
//
// Parsing accepts any bytes and never fails: UTF-8 byte-order marks at the start are skipped,
// lines end at LF, CR LF or CR, blanks and tabs around names and values are ignored, lines
// starting with ";" or "#" are comments, and a line that is neither a section header nor holds
// a "=" is kept but means nothing. The text written is UTF-8 with LF line ends.
class IniDocument {
public:
    IniDocument() = default;

    static IniDocument parse(std::string_view bytes);
    std::string serialize() const;

    // The value of a key, decoded, or nothing when the section or the key is absent. A key
    // that is present with nothing after its "=" has the empty value.
    std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;

    // Sets a key, creating the section (at the end of the document) and the key (after the
    // section's last key) as needed; an existing key keeps its place and its spelling.
    void setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);

private:
    enum class LineKind { Other, Section, Entry };

    struct Line {
        LineKind kind = LineKind::Other;
        std::string raw;       // the line as read or written, without its line end
        std::u16string name;   // section name or key, decoded
        std::u16string value;  // entry value, decoded
    };

    static Line readLine(std::string_view raw);
    // The index of the first header of the section, or nothing.
    std::optional<std::size_t> findSection(std::u16string_view section) const;
    // The index of the first line of a key in the section starting at header, or nothing.
    std::optional<std::size_t> findKey(std::size_t header, std::u16string_view key) const;
    // One past the section's last line.
    std::size_t sectionEnd(std::size_t header) const;

    std::vector<Line> lines_;
};

// ASCII letters compare without regard to case; everything else exactly.
bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
