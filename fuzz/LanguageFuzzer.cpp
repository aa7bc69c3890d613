// Language files through their reader. For any bytes: nothing throws, crashes or leaks; a file
// taken has a language id that is not 0 and, for every text, the English text it was read with.
// For a file built from the input by the rules of the format (a header with the signature and
// the language id field, then entries with numeric contexts): it is taken exactly when the id
// field gives an id, and every text reads back as written, the English one where the translation
// is empty or marked fuzzy.
//
// Input: byte 0 bit 0 picks raw bytes (0) or a built file (1). A built file takes the rest as
// fields separated by NUL bytes: the id field, then three fields per entry (flags, whose bit 0
// marks the entry fuzzy; the English text; the translation).
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "app/LanguageFile.h"
#include "charsets/TextCodec.h"

// The PO library leaks inside every read: the lexer's copy of the file name, and on the error
// paths of its grammar what the parser had gathered for the entry it drops (tokens, comment
// lines, strings). These are matched by the library functions that make them, which needs full
// stacks at allocation. What is allocated outside the grammar, such as the PO file itself and the
// iterators and header fields the program asks for, is still checked for leaks.
extern "C" {
const char* __asan_default_options();
const char* __lsan_default_suppressions();
const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
const char* __lsan_default_suppressions() {
    return "leak:libgettextpo_lex_start\n"
           "leak:libgettextpo_po_gram_parse\n";
}
}

namespace {

using fuzz_support::printable;

// Text a PO string can hold as written: valid UTF-8 (ill-formed bytes replaced) without the
// control characters the format has no plain escape for.
std::string cleanText(std::string_view bytes) {
    std::string text = text_codec::toUtf8(text_codec::fromUtf8(bytes));
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 || c == '\n' || c == '\t')
            out += c;
    }
    return out;
}

std::string poString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

struct Entry {
    std::uint32_t id = 0;
    bool fuzzy = false;
    std::string source;
    std::string translation;
};

void checkBuilt(std::string_view rest) {
    const std::vector<std::string_view> fields = fuzz_support::nulSeparated(rest);
    std::string idField;
    for (const char c : fields[0]) {
        if (c >= 0x21 && c <= 0x7E && c != '"' && c != '\\')
            idField += c;
    }
    std::string file =
        "msgid \"\"\nmsgstr \"\"\n"
        "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
        "\"X-Contaxio-Signature: 3C5F\\n\"\n"
        "\"X-Contaxio-Language-Id: " +
        idField + "\\n\"\n";
    std::vector<Entry> entries;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 3) {
        Entry entry;
        entry.id = static_cast<std::uint32_t>(10000 + entries.size() * 7919);
        entry.fuzzy = !fields[i].empty() && (static_cast<unsigned char>(fields[i][0]) & 1) != 0;
        // The English text is never empty: an empty msgid is the header's.
        entry.source = "E" + cleanText(fields[i + 1]);
        entry.translation = i + 2 < fields.size() ? cleanText(fields[i + 2]) : std::string();
        file += "\n";
        if (entry.fuzzy)
            file += "#, fuzzy\n";
        file += "msgctxt \"" + std::to_string(entry.id) + "\"\nmsgid " + poString(entry.source) +
                "\nmsgstr " + poString(entry.translation) + "\n";
        entries.push_back(std::move(entry));
    }

    const std::optional<LanguageFile> language = LanguageFile::fromBytes(file);
    const std::uint16_t id = LanguageFile::parseLanguageId(idField);
    FUZZ_CHECK(language.has_value() == (id != 0),
               id != 0 ? "a well-formed file was refused" : "a file without a usable id was taken",
               printable(file));
    if (!language)
        return;
    FUZZ_CHECK(language->languageId() == id, "the language id differs from the field",
               printable(file));
    FUZZ_CHECK(language->texts().size() == entries.size(), "texts were lost or added",
               printable(file));
    for (const Entry& entry : entries) {
        const bool english = entry.fuzzy || entry.translation.empty();
        FUZZ_CHECK(language->text(entry.id) ==
                       text_codec::fromUtf8(english ? entry.source : entry.translation),
                   "a text does not read back as written", printable(file));
        const auto source = language->sourceTexts().find(entry.id);
        FUZZ_CHECK(source != language->sourceTexts().end() &&
                       source->second == text_codec::fromUtf8(entry.source),
                   "an English text does not read back as written", printable(file));
    }
}

// parseLanguageId read plainly: decimal, or "0x" and hexadecimal, at most 8 digits and up to
// 0xFFFF; else 0.
std::uint16_t referenceId(std::string_view field) {
    while (!field.empty() &&
           (field.front() == ' ' || (field.front() >= '\t' && field.front() <= '\r')))
        field.remove_prefix(1);
    while (!field.empty() &&
           (field.back() == ' ' || (field.back() >= '\t' && field.back() <= '\r')))
        field.remove_suffix(1);
    unsigned base = 10;
    if (field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X')) {
        base = 16;
        field.remove_prefix(2);
    }
    if (field.empty() || field.size() > 8)
        return 0;
    unsigned long long value = 0;
    for (const char c : field) {
        unsigned digit = 99;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        if (digit >= base)
            return 0;
        value = value * base + digit;
        if (value > 0xFFFF)
            return 0;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const std::string_view rest = input.substr(1);
    FUZZ_CHECK(LanguageFile::parseLanguageId(rest) == referenceId(rest),
               "parseLanguageId differs from the reference", printable(rest));
    if ((static_cast<unsigned char>(input[0]) & 1) != 0) {
        checkBuilt(rest);
        return 0;
    }
    const std::optional<LanguageFile> language = LanguageFile::fromBytes(rest);
    if (language) {
        FUZZ_CHECK(language->languageId() != 0, "a file was taken with language id 0",
                   printable(rest));
        for (const auto& [id, text] : language->texts()) {
            FUZZ_CHECK(language->sourceTexts().contains(id), "a text without its English text",
                       printable(rest));
            FUZZ_CHECK(language->text(id) == text, "text() differs from texts()", printable(rest));
        }
    }
    return 0;
}
