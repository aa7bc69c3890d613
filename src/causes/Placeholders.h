#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace causes {

// Fills the placeholders %1 to %9 of a text with its arguments, in one pass: %n takes the n-th
// argument wherever it stands, as often as it stands there, so that a translation may reorder,
// repeat or leave out placeholders. A placeholder without an argument, and a "%" followed by
// anything else, stays as written; an argument is never scanned for placeholders itself.
// Arguments: any sized range of strings of the text's character type.
template <typename Char, typename Arguments>
std::basic_string<Char> fillPlaceholders(std::basic_string_view<Char> text,
                                         const Arguments& arguments) {
    std::basic_string<Char> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char unit = text[i];
        if (unit != Char('%') || i + 1 == text.size()) {
            out.push_back(unit);
            continue;
        }
        const Char next = text[i + 1];
        if (next >= Char('1') && next <= Char('9')) {
            const auto index = static_cast<std::size_t>(next - Char('1'));
            if (index < arguments.size()) {
                out.append(*(arguments.begin() + static_cast<std::ptrdiff_t>(index)));
                ++i;
                continue;
            }
        }
        out.push_back(unit);
    }
    return out;
}

}  // namespace causes
