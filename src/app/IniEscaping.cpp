#include "app/IniEscaping.h"

#include <cstddef>
#include <cstdint>

#include "charsets/HexDigits.h"
#include "charsets/TextCodec.h"
#include "charsets/Utf16.h"

namespace ini_escaping {
namespace {

enum class Field { Section, Key, Value };

void appendUnitEscape(std::string& out, char16_t unit) {
    out += "\\u";
    hex_digits::append(out, unit, 4, hex_digits::Case::Upper);
}

// True for the units that are escaped wherever they stand in any field.
bool alwaysEscaped(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit == 0x2028 || unit == 0x2029 ||
           unit == u'\\';
}

bool escapedInField(Field field, char16_t unit, bool first) {
    switch (field) {
        case Field::Section:
            return unit == u']';
        case Field::Key:
            return unit == u'=' || (first && (unit == u'[' || unit == u';' || unit == u'#'));
        case Field::Value:
            return false;
    }
    return false;
}

std::string encode(Field field, std::u16string_view text) {
    // The run of spaces at either end is written as \s, so that trimming keeps it.
    std::size_t leading = 0;
    while (leading < text.size() && text[leading] == u' ') {
        ++leading;
    }
    std::size_t trailingStart = text.size();
    while (trailingStart > leading && text[trailingStart - 1] == u' ') {
        --trailingStart;
    }

    std::string out;
    std::u16string plain;  // units written as UTF-8, converted in runs
    const auto flush = [&out, &plain] {
        if (!plain.empty()) {
            out += text_codec::toUtf8(plain);
            plain.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u' ' && (i < leading || i >= trailingStart)) {
            flush();
            out += "\\s";
            continue;
        }
        if (utf16::isPairAt(text, i)) {
            plain.push_back(unit);
            plain.push_back(text[i + 1]);
            ++i;
            continue;
        }
        const bool loneSurrogate = utf16::isSurrogate(unit);
        if (!loneSurrogate && !alwaysEscaped(unit) && !escapedInField(field, unit, i == 0)) {
            plain.push_back(unit);
            continue;
        }
        flush();
        switch (unit) {
            case u'\\':
                out += "\\\\";
                break;
            case u'\n':
                out += "\\n";
                break;
            case u'\r':
                out += "\\r";
                break;
            case u'\t':
                out += "\\t";
                break;
            default:
                appendUnitEscape(out, unit);
                break;
        }
    }
    flush();
    return out;
}

// The unit of a \uHHHH escape starting at field[at] (the backslash), or -1.
std::int32_t unitEscapeAt(std::string_view field, std::size_t at) {
    if (at + 6 > field.size() || field[at + 1] != 'u') {
        return -1;
    }
    std::int32_t unit = 0;
    for (std::size_t k = at + 2; k < at + 6; ++k) {
        const std::uint8_t digit = hex_digits::valueOf(field[k]);
        if (digit == hex_digits::kNotADigit) {
            return -1;
        }
        unit = unit * 16 + digit;
    }
    return unit;
}

}  // namespace

std::string encodeSection(std::u16string_view name) {
    return encode(Field::Section, name);
}

std::string encodeKey(std::u16string_view key) {
    return encode(Field::Key, key);
}

std::string encodeValue(std::u16string_view value) {
    return encode(Field::Value, value);
}

std::u16string decode(std::string_view field) {
    std::u16string out;
    std::size_t plainStart = 0;
    const auto flush = [&](std::size_t end) {
        out += text_codec::fromUtf8(field.substr(plainStart, end - plainStart));
    };
    std::size_t i = 0;
    while (i < field.size()) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            ++i;
            continue;
        }
        char16_t unit = 0;
        std::size_t length = 2;
        switch (field[i + 1]) {
            case '\\':
                unit = u'\\';
                break;
            case 'n':
                unit = u'\n';
                break;
            case 'r':
                unit = u'\r';
                break;
            case 't':
                unit = u'\t';
                break;
            case 's':
                unit = u' ';
                break;
            case 'u': {
                const std::int32_t value = unitEscapeAt(field, i);
                if (value < 0) {
                    ++i;
                    continue;
                }
                unit = static_cast<char16_t>(value);
                length = 6;
                break;
            }
            default:
                ++i;
                continue;
        }
        flush(i);
        out.push_back(unit);
        i += length;
        plainStart = i;
    }
    flush(field.size());
    return out;
}

}  // namespace ini_escaping
