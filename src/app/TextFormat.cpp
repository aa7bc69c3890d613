#include "app/TextFormat.h"

#include <cstddef>

namespace {

template <typename Arguments>
std::u16string substitute(std::u16string_view text, const Arguments& arguments) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit != u'%' || i + 1 == text.size()) {
            out.push_back(unit);
            continue;
        }
        const char16_t next = text[i + 1];
        if (next >= u'1' && next <= u'9') {
            const auto index = static_cast<std::size_t>(next - u'1');
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

}  // namespace

std::u16string formatText(std::u16string_view text, const std::vector<std::u16string>& arguments) {
    return substitute(text, arguments);
}

std::u16string formatText(std::u16string_view text,
                          std::initializer_list<std::u16string_view> arguments) {
    return substitute(text, arguments);
}
