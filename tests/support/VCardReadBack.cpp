#include "VCardReadBack.h"

#include "StrictUtf8.h"

namespace test_support {

namespace {

constexpr std::size_t kLineOctets = 75;

// The physical lines of the file, without their CR LF.
bool physicalLines(std::string_view bytes, std::vector<std::string_view>& lines,
                   std::string& problem) {
    std::size_t number = 0;
    while (!bytes.empty()) {
        ++number;
        const std::size_t end = bytes.find("\r\n");
        if (end == std::string_view::npos) {
            problem = "line " + std::to_string(number) + " does not end in CR LF";
            return false;
        }
        const std::string_view line = bytes.substr(0, end);
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            problem = "line " + std::to_string(number) + " holds a lone CR or LF";
            return false;
        }
        if (line.size() > kLineOctets) {
            problem = "line " + std::to_string(number) + " is " + std::to_string(line.size()) +
                      " octets long";
            return false;
        }
        std::u16string ignored;
        std::string flaw;
        if (!decodeStrictUtf8(line, ignored, flaw)) {
            problem = "line " + std::to_string(number) + " is no UTF-8 of its own: " + flaw;
            return false;
        }
        lines.push_back(line);
        bytes.remove_prefix(end + 2);
    }
    return true;
}

// The value split into components and unescaped.
bool readValue(std::u16string_view value, std::vector<std::u16string>& components,
               std::string& problem) {
    components.assign(1, {});
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char16_t c = value[i];
        if (c == u'\\') {
            if (i + 1 == value.size()) {
                problem = "a value ends in a backslash";
                return false;
            }
            const char16_t next = value[++i];
            if (next == u'n' || next == u'N') {
                components.back() += u'\n';
            } else if (next == u'\\' || next == u',' || next == u';') {
                components.back() += next;
            } else {
                problem = "an unknown escape";
                return false;
            }
        } else if (c == u';') {
            components.emplace_back();
        } else if (c == u',') {
            problem = "an unescaped comma";
            return false;
        } else if ((c < 0x20 && c != u'\t') || c == 0x7F) {
            problem = "a control character in a value";
            return false;
        } else {
            components.back() += c;
        }
    }
    return true;
}

}  // namespace

std::vector<const VCardProperty*> VCard::all(std::string_view name) const {
    std::vector<const VCardProperty*> found;
    for (const VCardProperty& property : properties) {
        if (property.name == name)
            found.push_back(&property);
    }
    return found;
}

bool VCard::single(std::string_view name, std::u16string& value) const {
    const auto found = all(name);
    if (found.size() != 1 || found.front()->components.size() != 1)
        return false;
    value = found.front()->components.front();
    return true;
}

bool readVCardFile(std::string_view bytes, std::vector<VCard>& cards, std::string& problem) {
    cards.clear();
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        problem = "a byte-order mark";
        return false;
    }
    std::vector<std::string_view> lines;
    if (!physicalLines(bytes, lines, problem))
        return false;
    // Unfolded logical lines.
    std::vector<std::string> logical;
    for (const std::string_view line : lines) {
        if (line.starts_with(' ') || line.starts_with('\t')) {
            if (logical.empty()) {
                problem = "the file begins with a continued line";
                return false;
            }
            logical.back() += line.substr(1);
        } else {
            logical.emplace_back(line);
        }
    }
    bool inCard = false;
    std::size_t position = 0;
    for (const std::string& line : logical) {
        ++position;
        const std::string where = " (logical line " + std::to_string(position) + ")";
        if (!inCard) {
            if (line != "BEGIN:VCARD") {
                problem = "a line outside a card" + where;
                return false;
            }
            inCard = true;
            cards.emplace_back();
            continue;
        }
        if (line == "END:VCARD") {
            const auto& properties = cards.back().properties;
            if (properties.empty() || properties.front().name != "VERSION" ||
                properties.front().components != std::vector<std::u16string>{u"3.0"}) {
                problem = "a card without VERSION:3.0 right after BEGIN" + where;
                return false;
            }
            inCard = false;
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) {
            problem = "a property line without a name and ':'" + where;
            return false;
        }
        VCardProperty property;
        const std::string head = line.substr(0, colon);
        const std::size_t semicolon = head.find(';');
        property.name = head.substr(0, semicolon);
        if (semicolon != std::string::npos)
            property.parameters = head.substr(semicolon + 1);
        std::u16string value;
        std::string flaw;
        if (!decodeStrictUtf8(line.substr(colon + 1), value, flaw)) {
            problem = "a value that is no UTF-8: " + flaw + where;
            return false;
        }
        if (!readValue(value, property.components, flaw)) {
            problem = flaw + " in " + property.name + where;
            return false;
        }
        cards.back().properties.push_back(std::move(property));
    }
    if (inCard) {
        problem = "the last card has no END:VCARD";
        return false;
    }
    return true;
}

std::vector<std::string> splitVCardFile(std::string_view bytes) {
    std::vector<std::string> cards;
    // A line of its own: a value ending so is part of a longer line.
    constexpr std::string_view kEnd = "\r\nEND:VCARD\r\n";
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(kEnd);
        if (end == std::string_view::npos || !bytes.starts_with("BEGIN:VCARD\r\n"))
            return {};
        cards.emplace_back(bytes.substr(0, end + kEnd.size()));
        bytes.remove_prefix(end + kEnd.size());
    }
    return cards;
}

}  // namespace test_support
