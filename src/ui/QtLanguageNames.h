#pragma once

#include "app/ILanguageNames.h"

// Language names from Qt's locale data: QLocale("de_DE").nativeLanguageName() is "Deutsch".
class QtLanguageNames final : public ILanguageNames {
public:
    std::u16string nativeLanguageName(std::string_view localeName) const override;
};
