#include "ui/QtLanguageNames.h"

#include <QLocale>
#include <QString>

std::u16string QtLanguageNames::nativeLanguageName(std::string_view localeName) const {
    const QLocale locale(
        QString::fromLatin1(localeName.data(), static_cast<qsizetype>(localeName.size())));
    // A name Qt does not know gives the "C" locale, which has no language of its own.
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
        return {};
    }
    return locale.nativeLanguageName().toStdU16String();
}
