#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// One UI language: a gettext PO file read with GNU's PO library. Its header carries the
// fields "X-Contaxio-Signature: 3C5F" and "X-Contaxio-Language-Id: <id>" (decimal, or
// hexadecimal with "0x": 1033 and 0x0409 are the same id). Each UI text is an entry whose
// context (msgctxt) is the text's numeric id, whose msgid is the English text and whose msgstr
// is the translation. As gettext does, an entry marked fuzzy or not yet translated gives its
// English text. Entries without a numeric context, plural entries and obsolete entries are
// ignored.
//
// A file is not a usable language file when the library reports an error in it (syntax,
// duplicate entries, invalid UTF-8), when it declares a charset other than UTF-8 (or ASCII),
// when the signature is missing or another one, or when the language id is missing, 0, larger
// than 16 bits or not a number.
//
// Reading is serialised within the process: the library keeps its error handler in a global.
class LanguageFile {
public:
    static constexpr std::string_view kSignature = "3C5F";

    // Larger files are not read.
    static constexpr std::size_t kMaximumSize = 4 * 1024 * 1024;

    static std::optional<LanguageFile> fromFile(const std::filesystem::path& path);
    static std::optional<LanguageFile> fromBytes(std::string_view bytes);

    std::uint16_t languageId() const { return languageId_; }
    const std::map<std::uint32_t, std::u16string>& texts() const { return texts_; }
    // The English texts (msgid), by id.
    const std::map<std::uint32_t, std::u16string>& sourceTexts() const { return sourceTexts_; }

    // The text of an id; empty when the file lacks it.
    std::u16string text(std::uint32_t id) const;

    // The language id field's value as written: decimal digits, or "0x" and hexadecimal
    // digits; 0 when it is none of these or does not fit 16 bits.
    static std::uint16_t parseLanguageId(std::string_view field);

private:
    LanguageFile() = default;

    std::uint16_t languageId_ = 0;
    std::map<std::uint32_t, std::u16string> texts_;
    std::map<std::uint32_t, std::u16string> sourceTexts_;
};
