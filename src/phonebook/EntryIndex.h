#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The phonebook index a reader's first value names: decimal digits only, optionally between
// double quotes, blanks around them allowed. Anything else (empty, a sign, letters, more digits
// than any phonebook has) names no index.
inline std::optional<std::int64_t> entryIndexOf(std::string_view value) {
    const auto trim = [&value] {
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        while (!value.empty() && value.back() == ' ')
            value.remove_suffix(1);
    };
    trim();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
        trim();
    }
    if (value.empty() || value.size() > 18)
        return std::nullopt;
    std::int64_t index = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return std::nullopt;
        index = index * 10 + (c - '0');
    }
    return index;
}
