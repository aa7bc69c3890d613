#include "charsets/LocaleCharset.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "charsets/CodePages.h"
#include "charsets/TextCodec.h"
#include "charsets/Utf16.h"

namespace {

const iconv_t kNotOpen = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// The charset of LC_CTYPE as the environment sets it, or "UTF-8" when it names no usable locale.
std::string environmentCodeset() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return "UTF-8";
    const char* codeset = nl_langinfo_l(CODESET, locale);
    std::string result = (codeset != nullptr && *codeset != '\0') ? codeset : "UTF-8";
    freelocale(locale);
    return result;
}

bool named(const std::string& codeset, const char* name) {
    return strcasecmp(codeset.c_str(), name) == 0;
}

// Returns iconv to its initial state, first writing out what it holds back (a charset that
// combines a character with the mark that may follow keeps the character until it knows).
void flush(iconv_t descriptor, std::string& output) {
    char buffer[64];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(descriptor, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, sizeof buffer - outLeft);
}

}  // namespace

LocaleCharset::LocaleCharset() : LocaleCharset(environmentCodeset()) {}

LocaleCharset::LocaleCharset(std::string codeset)
    : codeset_(std::move(codeset)), kind_(Kind::Other), decoder_(kNotOpen), encoder_(kNotOpen) {
    if (named(codeset_, "UTF-8") || named(codeset_, "UTF8"))
        kind_ = Kind::Utf8;
    else if (codeset_ == "ANSI_X3.4-1968" || named(codeset_, "ASCII") ||
             named(codeset_, "US-ASCII"))
        kind_ = Kind::Ascii;
}

LocaleCharset::~LocaleCharset() {
    if (decoder_ != kNotOpen)
        iconv_close(decoder_);
    if (encoder_ != kNotOpen)
        iconv_close(encoder_);
}

bool LocaleCharset::open(iconv_t& descriptor, const char* to, const char* from) {
    if (descriptor == kNotOpen)
        descriptor = iconv_open(to, from);
    return descriptor != kNotOpen;
}

std::u16string LocaleCharset::decode(std::string_view bytes) {
    switch (kind_) {
        case Kind::Utf8:
            return text_codec::decode(code_page::Utf8, bytes);
        case Kind::Ascii:
            return text_codec::decode(code_page::Ascii, bytes);
        case Kind::Other:
            break;
    }
    if (!open(decoder_, "UTF-16LE", codeset_.c_str()))
        return text_codec::decode(code_page::Utf8, bytes);

    // Starts afresh whatever the last call left behind.
    iconv(decoder_, nullptr, nullptr, nullptr, nullptr);
    std::string utf16;
    std::vector<char> buffer(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(decoder_, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        utf16.append(buffer.data(), buffer.size() - outLeft);
        if (result != kFailed || error == E2BIG)
            continue;
        // A byte sequence the charset does not define, or one cut off at the end: one U+FFFD
        // for its first byte, and on with the next.
        flush(decoder_, utf16);
        utf16.append("\xFD\xFF");
        ++in;
        --inLeft;
    }
    flush(decoder_, utf16);
    return text_codec::decode(code_page::Utf16, utf16);
}

std::string LocaleCharset::encode(std::u16string_view text) {
    switch (kind_) {
        case Kind::Utf8:
            return text_codec::encode(code_page::Utf8, text);
        case Kind::Ascii:
            return text_codec::encode(code_page::Ascii, text);
        case Kind::Other:
            break;
    }
    if (!open(encoder_, codeset_.c_str(), "UTF-16LE"))
        return text_codec::encode(code_page::Utf8, text);

    // One character at a time, so that a character the charset cannot hold (a surrogate pair
    // included) becomes exactly one '?'. What iconv holds back is written out before a '?' and
    // at the end, never dropped: a character that a following mark may combine with stays
    // held until the next character tells.
    iconv(encoder_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    char buffer[32];
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = utf16::unitsAt(text, i);
        std::string utf16 = text_codec::encode(code_page::Utf16, text.substr(i, units));
        i += units;
        char* in = utf16.data();
        std::size_t inLeft = utf16.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(encoder_, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == kFailed || inLeft != 0) {
            flush(encoder_, out);
            out.push_back('?');
        }
    }
    flush(encoder_, out);
    return out;
}
