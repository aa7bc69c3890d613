#include "app/IniDocument.h"

#include <algorithm>

#include "app/IniEscaping.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char16_t foldAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

std::string entryLine(std::u16string_view key, std::u16string_view value) {
    return ini_escaping::encodeKey(key) + "=" + ini_escaping::encodeValue(value);
}

}  // namespace

bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldAscii(x) == foldAscii(y); });
}

IniDocument::Line IniDocument::readLine(std::string_view raw) {
    Line line;
    line.raw = std::string(raw);
    const std::string_view text = trimBlanks(raw);
    if (text.empty() || text.front() == ';' || text.front() == '#') {
        return line;
    }
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        const std::string_view name =
            text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        line.kind = LineKind::Section;
        line.name = ini_escaping::decode(trimBlanks(name));
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    line.kind = LineKind::Entry;
    line.name = ini_escaping::decode(trimBlanks(text.substr(0, equals)));
    line.value = ini_escaping::decode(trimBlanks(text.substr(equals + 1)));
    return line;
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument document;
    // Every leading mark: an editor that adds one to a file that had one leaves two, and a mark
    // kept in the first line would hide its section header until the file is written again.
    while (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            document.lines_.push_back(readLine(bytes));
            break;
        }
        document.lines_.push_back(readLine(bytes.substr(0, end)));
        std::size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') {
            ++next;
        }
        bytes.remove_prefix(next);
    }
    return document;
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

std::optional<std::size_t> IniDocument::findSection(std::u16string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section &&
            equalsIgnoringAsciiCase(lines_[i].name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Section) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> IniDocument::findKey(std::size_t header, std::u16string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Entry && equalsIgnoringAsciiCase(lines_[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string> IniDocument::value(std::u16string_view section,
                                                 std::u16string_view key) const {
    const auto header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const auto line = findKey(*header, key);
    if (!line) {
        return std::nullopt;
    }
    return lines_[*line].value;
}

void IniDocument::setValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) {
    Line entry;
    entry.kind = LineKind::Entry;
    entry.name = std::u16string(key);
    entry.value = std::u16string(value);
    entry.raw = entryLine(key, value);

    const auto header = findSection(section);
    if (!header) {
        if (!lines_.empty() && !trimBlanks(lines_.back().raw).empty()) {
            lines_.push_back(Line{});
        }
        Line sectionLine;
        sectionLine.kind = LineKind::Section;
        sectionLine.name = std::u16string(section);
        sectionLine.raw = "[" + ini_escaping::encodeSection(section) + "]";
        lines_.push_back(std::move(sectionLine));
        lines_.push_back(std::move(entry));
        return;
    }
    if (const auto existing = findKey(*header, key)) {
        // Keep the key as it was spelt in the file.
        entry.name = lines_[*existing].name;
        entry.raw = entryLine(entry.name, value);
        lines_[*existing] = std::move(entry);
        return;
    }
    // After the section's last entry, so that blank lines and comments before the next section
    // stay where they are.
    std::size_t at = *header + 1;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == LineKind::Entry) {
            at = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}
