#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QTranslator;

// Qt's own translations (the labels of standard buttons such as Yes, No and Retry in message
// boxes, the texts of the file dialog) for the program's UI language, where the system has
// them installed (Debian: qt6-translations-l10n). Without them Qt's texts stay English.
class QtTranslations final {
public:
    QtTranslations();
    // Removes the translation it installed.
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Replaces the installed translation by the one for the language id (1031: German); true
    // when one was found. English needs none and gives false.
    bool install(std::uint16_t languageId);
    // The same, from a folder of translation files other than Qt's own (for tests).
    bool install(std::uint16_t languageId, const QString& folder);

private:
    void remove();

    std::unique_ptr<QTranslator> translator_;
};
