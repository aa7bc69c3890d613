#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Case changes and comparisons of the ASCII letters only; every other byte or code unit stays
// as it is, whatever the locale.
namespace ascii_case {

template <typename Char>
constexpr Char toUpper(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

template <typename Char>
constexpr Char toLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

namespace detail {
template <typename Char, typename Change>
std::basic_string<Char> changed(std::basic_string_view<Char> text, Change change) {
    std::basic_string<Char> out(text);
    for (Char& c : out)
        c = change(c);
    return out;
}
}  // namespace detail

inline std::string upperCased(std::string_view text) {
    return detail::changed(text, toUpper<char>);
}
inline std::u16string upperCased(std::u16string_view text) {
    return detail::changed(text, toUpper<char16_t>);
}
inline std::string lowerCased(std::string_view text) {
    return detail::changed(text, toLower<char>);
}
inline std::u16string lowerCased(std::u16string_view text) {
    return detail::changed(text, toLower<char16_t>);
}

// Whether a and b are equal but for the case of ASCII letters.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toUpper(a[i]) != toUpper(b[i]))
            return false;
    }
    return true;
}

}  // namespace ascii_case
