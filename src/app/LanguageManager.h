#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/LanguageFile.h"
#include "app/LocaleSettings.h"

class ILanguageNames;

// The UI languages: finds the language files, knows which language each provides, loads the
// chosen one and hands out its texts by id. Used on the user-interface thread only.
//
// The process has one, instance(); tests make their own.
class LanguageManager {
public:
    // The process's language manager, created on first use and kept until the process ends.
    static LanguageManager& instance();

    LanguageManager();
    virtual ~LanguageManager();
    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

    // Finds the language files ("*.po") of the first folder in the list that holds at least one
    // usable one. Within a folder the files are taken in the byte order of their names; the
    // first file for a language id is the one used. Replaces what an earlier scan found.
    void scan(const std::vector<std::filesystem::path>& folders);

    std::uint16_t count() const;
    // The ids found, ascending.
    std::vector<std::uint16_t> languages() const;
    // The file found for an id; empty when there is none.
    std::filesystem::path libraryPath(std::uint16_t id) const;

    // The current language: 0 for none chosen. Setting it loads nothing.
    std::uint16_t language() const { return current_; }
    void setLanguage(std::uint16_t id) { current_ = id; }

    // Reads the file found for the id and serves its texts from now on; false when the id was
    // not found or its file is no longer a usable language file of that id (nothing is then
    // loaded).
    bool load(std::uint16_t id);
    void unload();

    // A text of the loaded language; empty when none is loaded or it lacks the id.
    std::u16string text(std::uint32_t id) const;

    // The first language id the user's locale settings name (see LocaleSettings) that a file
    // was found for; 0 when there is none. Ids are compared exactly: de_AT does not take a
    // file for de_DE.
    std::uint16_t detectLanguage(const LocaleSettings& locale) const;
    std::uint16_t detectLanguage() const;

    // The name of a language for the language dialog: its own name from the toolkit's locale
    // data, else its locale name ("de_DE"), else "Locale 0x" and its id in four hexadecimal
    // digits ("Locale 0x0407").
    std::u16string displayName(std::uint16_t id) const;
    // The toolkit's names; null (the start) means none. Not owned.
    void setLanguageNames(const ILanguageNames* names) { names_ = names; }

private:
    std::map<std::uint16_t, std::filesystem::path> libraries_;
    std::uint16_t current_ = 0;
    std::unique_ptr<LanguageFile> loaded_;
    const ILanguageNames* names_ = nullptr;
};
