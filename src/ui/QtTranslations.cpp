#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/LanguageIds.h"

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    remove();
}

bool QtTranslations::install(std::uint16_t languageId) {
    return install(languageId, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool QtTranslations::install(std::uint16_t languageId, const QString& folder) {
    remove();
    const std::string name = language_ids::localeName(languageId);
    if (name.empty()) {
        return false;
    }
    auto translator = std::make_unique<QTranslator>();
    // Tries qtbase_de_DE, then qtbase_de.
    if (!translator->load(QLocale(QString::fromStdString(name)), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    translator_ = std::move(translator);
    return true;
}

void QtTranslations::remove() {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
}
