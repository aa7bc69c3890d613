#include "app/TextFormat.h"

#include "causes/Placeholders.h"

std::u16string formatText(std::u16string_view text, const std::vector<std::u16string>& arguments) {
    return causes::fillPlaceholders(text, arguments);
}

std::u16string formatText(std::u16string_view text,
                          std::initializer_list<std::u16string_view> arguments) {
    return causes::fillPlaceholders(text, arguments);
}
