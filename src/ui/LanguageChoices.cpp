#include "ui/LanguageChoices.h"

#include <QCollator>

#include <algorithm>

#include "app/LanguageManager.h"

namespace language_choices {

QString withCapital(const QString& name, const QLocale& locale) {
    if (name.isEmpty()) {
        return name;
    }
    const qsizetype first = name.at(0).isHighSurrogate() && name.size() > 1 ? 2 : 1;
    return locale.toUpper(name.left(first)) + name.mid(first);
}

std::vector<LanguageChoice> list(const LanguageManager& languages, const QLocale& userLocale) {
    std::vector<LanguageChoice> choices;
    for (const std::uint16_t id : languages.languages()) {
        choices.push_back(
            {id, withCapital(QString::fromStdU16String(languages.displayName(id)), userLocale)});
    }
    QCollator collator(userLocale);
    std::stable_sort(choices.begin(), choices.end(),
                     [&collator](const LanguageChoice& a, const LanguageChoice& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
    return choices;
}

int initialSelection(const std::vector<LanguageChoice>& choices, std::uint16_t current,
                     std::uint16_t detected) {
    if (choices.empty()) {
        return -1;
    }
    const auto indexOf = [&choices](std::uint16_t id) {
        const auto found = std::find_if(choices.begin(), choices.end(),
                                        [id](const LanguageChoice& c) { return c.id == id; });
        return found == choices.end() ? -1 : static_cast<int>(found - choices.begin());
    };
    if (const int at = indexOf(current); at >= 0) {
        return at;
    }
    if (detected != 0) {
        if (const int at = indexOf(detected); at >= 0) {
            return at;
        }
    }
    return 0;
}

}  // namespace language_choices
