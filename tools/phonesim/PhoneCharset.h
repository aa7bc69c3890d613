#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace phonesim {

// How the phone renders text in the charset selected with AT+CSCS: "UCS2" as four uppercase
// hexadecimal digits per UTF-16 unit, "UTF8" as UTF-8 bytes, "8859-1" as Latin-1 bytes, "GSM"
// as the GSM default alphabet (one byte per septet, the escape before a character of the
// extension table), and "ASCII" (and every other name, "IRA" included) as ASCII. Each character
// the charset cannot hold is one '?'.
class PhoneCharset {
public:
    enum class Kind { Ucs2, Utf8, Latin1, Gsm, Ascii };

    // The charset for a name as AT+CSCS gives it; letters are compared case-insensitively.
    static PhoneCharset named(std::string_view name);

    Kind kind() const { return kind_; }
    bool isUcs2() const { return kind_ == Kind::Ucs2; }

    // The bytes the phone sends for the text (between quotes, or bare where the format wants).
    std::string render(std::u16string_view text) const;

    // The text between double quotes.
    std::string quoted(std::u16string_view text) const { return '"' + render(text) + '"'; }

    // How many UTF-16 units a reader gets back when it decodes render(text): the length the
    // phone reports for a name part, so that the reader can cut the name where the phone did.
    std::size_t decodedLength(std::u16string_view text) const;

private:
    explicit PhoneCharset(Kind kind) : kind_(kind) {}

    Kind kind_;
};

}  // namespace phonesim
