#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <vector>

class LanguageManager;

// The entries of the language dialog: one per language file found, named by the language's
// own name with its first letter in upper case ("español" becomes "Español"), sorted as the
// user's locale sorts text.
struct LanguageChoice {
    std::uint16_t id = 0;
    QString name;
};

namespace language_choices {

// The entries for the languages of the manager; userLocale sorts them and upper-cases the
// first letters.
std::vector<LanguageChoice> list(const LanguageManager& languages, const QLocale& userLocale);

// The name with its first character (a whole code point) in upper case by the locale's rules.
QString withCapital(const QString& name, const QLocale& locale);

// The entry selected when the dialog opens: the current language's; else the language
// detected for the system (when not 0); else the first. -1 for an empty list.
int initialSelection(const std::vector<LanguageChoice>& choices, std::uint16_t current,
                     std::uint16_t detected);

}  // namespace language_choices
