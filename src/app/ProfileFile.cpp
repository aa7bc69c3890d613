#include "app/ProfileFile.h"

#include <algorithm>
#include <limits>

#include "app/AtomicFile.h"
#include "app/IniDocument.h"
#include "charsets/Utf16.h"

namespace {

bool isWhiteSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r' || unit == u'\v' ||
           unit == u'\f';
}

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && isWhiteSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isWhiteSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string_view cut(std::u16string_view text, std::size_t length) {
    if (text.size() <= length) {
        return text;
    }
    if (utf16::isHighSurrogate(text[length - 1])) {
        --length;
    }
    return text.substr(0, length);
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

std::optional<std::u16string> ProfileFile::readRaw(std::u16string_view section,
                                                   std::u16string_view key) const {
    const atomic_file::ReadResult file = atomic_file::read(path_);
    if (file.status != atomic_file::ReadResult::Status::Read) {
        return std::nullopt;
    }
    return IniDocument::parse(file.bytes).value(section, key);
}

std::u16string ProfileFile::readString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue) const {
    const std::optional<std::u16string> value = readRaw(section, key);
    if (!value) {
        return std::u16string(defaultValue);
    }
    return std::u16string(trimmed(cut(*value, kMaximumTextLength)));
}

std::int32_t ProfileFile::leadingInteger(std::u16string_view value) {
    value = trimmed(value);
    bool negative = false;
    if (!value.empty() && (value.front() == u'-' || value.front() == u'+')) {
        negative = value.front() == u'-';
        value.remove_prefix(1);
    }
    std::int64_t number = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (const char16_t unit : value) {
        if (unit < u'0' || unit > u'9') {
            break;
        }
        number = std::min(number * 10 + (unit - u'0'), kLimit);
    }
    if (negative) {
        number = -number;
    }
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(number, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ProfileFile::readInt(std::u16string_view section, std::u16string_view key,
                                  std::int32_t defaultValue) const {
    const std::optional<std::u16string> value = readRaw(section, key);
    return value ? leadingInteger(*value) : defaultValue;
}

bool ProfileFile::writeStrings(
    std::u16string_view section,
    const std::vector<std::pair<std::u16string, std::u16string>>& entries) const {
    const atomic_file::ReadResult file = atomic_file::read(path_);
    if (file.status == atomic_file::ReadResult::Status::Failed) {
        // Writing now would lose whatever the file holds.
        return false;
    }
    IniDocument document = IniDocument::parse(file.bytes);
    for (const auto& [key, value] : entries) {
        document.setValue(section, key, value);
    }
    return atomic_file::replace(path_, document.serialize());
}

bool ProfileFile::writeString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value) const {
    return writeStrings(section, {{std::u16string(key), std::u16string(value)}});
}
