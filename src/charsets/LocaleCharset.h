#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

// The charset of the user's locale (LC_CTYPE as the environment sets it, UTF-8 when it names
// no usable locale), which is what code page 0 stands for. The locale is read once, when the
// object is made; each direction's iconv descriptor is opened on first use and kept. So a
// converter that holds one sets the locale up once, however many values it converts.
//
// No input makes a conversion fail: bytes the charset does not define decode to U+FFFD, one per
// byte, and a character it cannot hold encodes as one '?' (a surrogate pair is one character).
// A charset that iconv does not know is read and written as UTF-8. Used by one thread at a time.
class LocaleCharset {
public:
    // Reads the locale from the environment.
    LocaleCharset();
    // A named charset ("ISO-8859-1", "SHIFT_JISX0213", ...) instead of the locale's.
    explicit LocaleCharset(std::string codeset);
    ~LocaleCharset();
    LocaleCharset(const LocaleCharset&) = delete;
    LocaleCharset& operator=(const LocaleCharset&) = delete;

    // The charset's name as the locale gives it (nl_langinfo(CODESET)).
    const std::string& codeset() const { return codeset_; }

    std::u16string decode(std::string_view bytes);
    std::string encode(std::u16string_view text);

private:
    enum class Kind { Utf8, Ascii, Other };

    // The descriptor converting from `from` to `to`, opened when first needed; false when iconv
    // knows no such conversion.
    bool open(iconv_t& descriptor, const char* to, const char* from);

    std::string codeset_;
    Kind kind_;
    iconv_t decoder_;  // codeset to UTF-16LE
    iconv_t encoder_;  // UTF-16LE to codeset
};
