#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings file's read and write operations, each of which goes to the file itself (there
// is no cache): section and key names without regard to letter case, defaults for what is
// missing, the file, section and key created by the first write.
class ProfileFile {
public:
    explicit ProfileFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // Text values are read into 254 UTF-16 units (never splitting a surrogate pair), then
    // trimmed of white space at both ends. An absent key (or an unreadable file) gives the
    // default as it is.
    static constexpr std::size_t kMaximumTextLength = 254;
    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;

    // Integers: the default when the key is absent; otherwise the number the trimmed value
    // begins with (an optional sign and decimal digits, clamped to 32 bits), or 0 when it does
    // not begin with one.
    std::int32_t readInt(std::u16string_view section, std::u16string_view key,
                         std::int32_t defaultValue) const;

    // Writes keys of one section in a single replacement of the file (see atomic_file), keeping
    // everything else in it. False, with the file unchanged, when it exists but cannot be read,
    // or cannot be written.
    bool writeStrings(std::u16string_view section,
                      const std::vector<std::pair<std::u16string, std::u16string>>& entries) const;
    bool writeString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) const;

    // The decoded value as stored, untrimmed and uncut; nothing when absent.
    std::optional<std::u16string> readRaw(std::u16string_view section,
                                          std::u16string_view key) const;

    // The leading-integer rule of readInt, on a value.
    static std::int32_t leadingInteger(std::u16string_view value);

private:
    std::filesystem::path path_;
};
