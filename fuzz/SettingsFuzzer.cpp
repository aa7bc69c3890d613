// The settings file through its reader and writer. For any bytes: the document written back
// unchanged is the file with its byte-order marks dropped and its line ends made LF, and reading
// that again gives the same; setting a key changes the one line of that key (or adds it, with
// its section when that is new) and leaves every other line as it was; what is set reads back the
// same, from the document and from the file the settings class writes; the integer rule equals a
// plain reference.
//
// Input: the file's bytes, then (after the first NUL byte, if any) the section, the key and two
// values separated by NUL bytes. These four are taken as UTF-16 units, two bytes each (little
// endian), so that lone surrogates, control characters and every escape come into play.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AnswerLines.h"
#include "FuzzCheck.h"
#include "ScratchFolder.h"
#include "app/IniDocument.h"
#include "app/ProfileFile.h"
#include "charsets/TextCodec.h"

namespace {

using fuzz_support::printable;

std::u16string units(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// What serialize() must give for a document read from bytes and not changed.
std::string normalised(std::string_view bytes) {
    while (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out += bytes[i];
        }
    }
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    return out;
}

// Setting one key: the lines after equal those before except for one replaced line, one
// inserted line, or a new section (with an optional blank line before it and its key) at the
// end.
void checkOneLineChanged(std::string_view before, std::string_view after) {
    const std::vector<std::string_view> old = linesOf(before);
    const std::vector<std::string_view> now = linesOf(after);
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const std::size_t removed = old.size() - prefix - suffix;
    const std::size_t added = now.size() - prefix - suffix;
    FUZZ_CHECK(now.size() >= old.size() && removed <= 1 && added <= 3,
               "setting a key changed other lines",
               "before \"" + printable(before) + "\", after \"" + printable(after) + "\"");
    FUZZ_CHECK(added <= 1 || (removed == 0 && suffix == 0), "a new section is not at the end",
               "before \"" + printable(before) + "\", after \"" + printable(after) + "\"");
}

// The integer rule read plainly: white space, an optional sign, decimal digits, clamped.
std::int32_t referenceInteger(std::u16string_view value) {
    const auto space = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
    };
    std::size_t i = 0;
    while (i < value.size() && space(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) {
        negative = value[i] == u'-';
        ++i;
    }
    long double number = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i)
        number = std::min<long double>(number * 10 + (value[i] - u'0'), 1e12L);
    if (negative)
        number = -number;
    number = std::clamp<long double>(number, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(number);
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(static_cast<bool>(out), "cannot write the scratch settings file", path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> parts = fuzz_support::nulSeparated(input);
    const std::string_view file = parts[0];
    const auto part = [&](std::size_t i) {
        return i < parts.size() ? units(parts[i]) : std::u16string();
    };
    const std::u16string section = part(1);
    const std::u16string key = part(2);
    const std::u16string value = part(3);
    const std::u16string second = part(4);

    // Reading and writing back unchanged.
    IniDocument document = IniDocument::parse(file);
    const std::string written = document.serialize();
    FUZZ_CHECK(written == normalised(file), "an unchanged document is not written as read",
               printable(file));
    FUZZ_CHECK(IniDocument::parse(written).serialize() == written,
               "a written document does not read back the same", printable(written));
    const std::optional<std::u16string> old = document.value(section, key);

    // One key set in the document.
    document.setValue(section, key, value);
    const std::string changed = document.serialize();
    checkOneLineChanged(written, changed);
    FUZZ_CHECK(document.value(section, key) == value, "a key set does not read back",
               printable(changed));
    FUZZ_CHECK(IniDocument::parse(changed).value(section, key) == value,
               "a key written does not read back", printable(changed));
    if (!old)
        FUZZ_CHECK(changed.size() > written.size(), "a new key added nothing", printable(changed));

    // The same through the settings file: two keys of one section in one write (the second one
    // the key with "2" appended unless that is the same key), read back raw, as text and as a
    // number.
    const fuzz_support::ScratchFolder& scratch = fuzz_support::ScratchFolder::instance();
    const std::filesystem::path path = scratch.path() / "settings.ini";
    writeFile(path, file);
    const ProfileFile profile(path);
    std::u16string otherKey = key + u"2";
    FUZZ_CHECK(profile.writeStrings(section, {{key, value}, {otherKey, second}}),
               "the settings file could not be written", printable(file));
    FUZZ_CHECK(profile.readRaw(section, key) == value, "a value written does not read back",
               printable(readFile(path)));
    FUZZ_CHECK(profile.readRaw(section, otherKey) == second,
               "the second value written does not read back", printable(readFile(path)));
    const std::u16string text = profile.readString(section, key, u"default");
    FUZZ_CHECK(
        text.size() <= ProfileFile::kMaximumTextLength && value.find(text) != std::u16string::npos,
        "a text read is longer than allowed or not part of the value",
        printable(text_codec::toUtf8(text)));
    FUZZ_CHECK(profile.readInt(section, key, -7) == referenceInteger(value),
               "the leading integer differs from the reference",
               printable(text_codec::toUtf8(value)));
    return 0;
}
