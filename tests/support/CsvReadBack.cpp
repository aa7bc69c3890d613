#include "CsvReadBack.h"

#include "StrictUtf8.h"
#include "charsets/CharsetChoice.h"

namespace test_support {

namespace {

bool decodeUtf16Le(std::string_view bytes, std::u16string& text, std::string& problem) {
    if (bytes.size() % 2 != 0) {
        problem = "UTF-16 text of an odd number of bytes";
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return true;
}

bool decodeAscii(std::string_view bytes, std::u16string& text, std::string& problem) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80) {
            problem = "a byte outside ASCII at " + std::to_string(i);
            return false;
        }
        text += static_cast<char16_t>(byte);
    }
    return true;
}

bool decode(std::string_view bytes, std::int32_t outputCharset, std::u16string& text,
            std::string& problem) {
    constexpr std::string_view kUtf16Mark("\xFF\xFE", 2);
    constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);
    switch (outputCharset) {
        case output_charset::Ucs2:
            if (!bytes.starts_with(kUtf16Mark)) {
                problem = "no UTF-16 byte-order mark";
                return false;
            }
            return decodeUtf16Le(bytes.substr(kUtf16Mark.size()), text, problem);
        case output_charset::Utf8:
            if (!bytes.starts_with(kUtf8Mark)) {
                problem = "no UTF-8 byte-order mark";
                return false;
            }
            return decodeStrictUtf8(bytes.substr(kUtf8Mark.size()), text, problem);
        case output_charset::Ascii:
            return decodeAscii(bytes, text, problem);
        default:
            problem = "an output charset the reader does not know";
            return false;
    }
}

}  // namespace

bool readCsvFile(std::string_view bytes, std::int32_t outputCharset, std::vector<CsvRow>& rows,
                 std::string& problem) {
    std::u16string written;
    if (!decode(bytes, outputCharset, written, problem))
        return false;
    // Every LF reached the file as CR LF, and nothing else did.
    std::u16string text;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == u'\n') {
            problem = "a line feed without its carriage return";
            return false;
        }
        if (written[i] == u'\r' && i + 1 < written.size() && written[i + 1] == u'\n') {
            text += u'\n';
            ++i;
            continue;
        }
        text += written[i];
    }

    rows.clear();
    CsvRow row;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvCell cell;
        if (text[i] == u'"') {
            cell.quoted = true;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    problem = "a quoted cell without its closing quote";
                    return false;
                }
                if (text[i] == u'"') {
                    if (i + 1 < text.size() && text[i + 1] == u'"') {
                        cell.text += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell.text += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != u',' && text[i] != u'\n') {
                if (text[i] == u'"') {
                    problem = "a double quote inside a cell without quotes";
                    return false;
                }
                cell.text += text[i++];
            }
        }
        row.push_back(std::move(cell));
        if (i >= text.size()) {
            problem = "the last row has no line end";
            return false;
        }
        if (text[i] == u',') {
            ++i;
            if (i >= text.size()) {
                problem = "the file ends after a comma";
                return false;
            }
            if (text[i] != u'\n')
                continue;
            // A comma right before the line end leaves one more, empty, cell.
            row.emplace_back();
        }
        if (text[i] != u'\n') {
            problem = "a quoted cell followed by something other than a comma or a line end";
            return false;
        }
        ++i;
        rows.push_back(std::move(row));
        row.clear();
    }
    return true;
}

}  // namespace test_support
