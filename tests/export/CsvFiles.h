#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "export/CSVWriter.h"
#include "export/IContact.h"

namespace csv_test {

inline const std::string kUtf8Mark = "\xEF\xBB\xBF";
inline const std::string kUtf16Mark = "\xFF\xFE";

// The text with every line feed preceded by a carriage return, as the file holds it.
inline std::string crlf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// The bytes of UTF-8 text as UTF-16LE.
inline std::string utf16le(const std::string& utf8) {
    std::string out;
    for (const char16_t unit : text_codec::fromUtf8(utf8)) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

inline std::u16string u16(const std::filesystem::path& path) {
    return text_codec::fromUtf8(path.string());
}

// The row a writer of type Writer writes for the contact, in UTF-8 without the mark.
template <typename Writer>
std::string rowOf(const IContact& contact) {
    test_support::TempDir dir;
    const auto path = dir.file("row.csv");
    {
        Writer writer(u16(path), 1);
        writer.writeContact(contact);
    }
    const std::string bytes = test_support::readFileBytes(path);
    return bytes.rfind(kUtf8Mark, 0) == 0 ? bytes.substr(kUtf8Mark.size()) : "no mark: " + bytes;
}

// The cells joined as a Google row: a comma after every cell, then CR LF.
inline std::string googleRow(const std::vector<std::string>& cells) {
    std::string row;
    for (const auto& cell : cells) {
        row += cell + ",";
    }
    return row + "\r\n";
}

// The Google row of a contact holding nothing, with some cells (numbered from 1) replaced.
inline std::string googleRow(const std::map<int, std::string>& changes) {
    std::vector<std::string> cells = {
        "\" \"",       "",     "\"\"", "\"\"",   "",     "",      "",     "",      "",     "",
        "\"General\"", "Work", "\"\"", "Home",   "\"\"", "Other", "\"\"", "Main",  "\"\"", "Home",
        "\"\"",        "Work", "\"\"", "Mobile", "\"\"", "Fax",   "\"\"", "Pager", "\"\"", "Other",
        "\"\"",        "Home", "\"\"", "Work",   "\"\"", "Other", "\"\"", "Other", "\"\""};
    for (const auto& [column, cell] : changes) {
        cells.at(static_cast<std::size_t>(column - 1)) = cell;
    }
    return googleRow(cells);
}

// The Outlook row of a contact holding nothing, with some cells (numbered from 1) replaced.
inline std::string outlookRow(const std::map<int, std::string>& changes) {
    std::vector<std::string> cells = {"\"\"", "",     "\"\"", "\"\"", "\"\"",
                                      "\"\"", "\"\"", "",     "\"\"", "\"\""};
    for (const auto& [column, cell] : changes) {
        cells.at(static_cast<std::size_t>(column - 1)) = cell;
    }
    std::string row;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        row += (i > 0 ? "," : "") + cells[i];
    }
    return row + "\r\n";
}

}  // namespace csv_test
