#pragma once

#include <string>
#include <string_view>

// The names of languages as the UI toolkit's locale data gives them, supplied by the user
// interface (with Qt: QLocale(localeName).nativeLanguageName()).
class ILanguageNames {
public:
    virtual ~ILanguageNames() = default;

    // The language's own name for a POSIX locale name such as "de_DE" ("Deutsch"); empty when
    // the toolkit does not know it.
    virtual std::u16string nativeLanguageName(std::string_view localeName) const = 0;
};
