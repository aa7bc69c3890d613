#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "app/AppContext.h"
#include "app/IHelpViewer.h"
#include "app/LanguageManager.h"
#include "ui/QtLanguageNames.h"

namespace ui_test {

// Records the help pages opened; opens them or not as told.
class RecordingHelpViewer final : public IHelpViewer {
public:
    bool openHelpPage(const std::filesystem::path& page, const std::string& anchor) override {
        opened.emplace_back(page, anchor);
        return opens;
    }

    std::vector<std::pair<std::filesystem::path, std::string>> opened;
    bool opens = true;
};

// An AppContext as the program has it after its start-up, in folders of the test's own: the
// shipped languages (data/lng) copied to a language folder, the shipped help pages, a
// configuration folder (the settings file and the aliases), a language of the test's choice
// loaded and current, the languages named by Qt's locale data, and a recording help viewer. A
// second WizardTestApp on the same folder is the next start of the program.
class WizardTestApp {
public:
    // A new folder; the language given (1033: English) is loaded.
    explicit WizardTestApp(std::uint16_t language = 1033);
    // The folder of an earlier run, for the next start.
    WizardTestApp(const WizardTestApp& earlier, std::uint16_t language);
    ~WizardTestApp();
    WizardTestApp(const WizardTestApp&) = delete;
    WizardTestApp& operator=(const WizardTestApp&) = delete;

    AppContext& app() { return *app_; }
    LanguageManager& languages() { return languages_; }
    RecordingHelpViewer& help() { return help_; }
    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path languageFolder() const { return folder_ / "lng"; }
    std::filesystem::path settingsFile() const { return app_->settingsFilePath(); }

    // The UI text of the current language.
    QString text(std::uint32_t id) const;

    // Saves the settings, as the end of the run does.
    void finish() { app_->saveSettings(); }

private:
    void start(std::uint16_t language);

    std::shared_ptr<test_support::TempDir> dir_;  // shared with later starts
    std::filesystem::path folder_;
    QtLanguageNames names_;
    LanguageManager languages_;
    RecordingHelpViewer help_;
    std::unique_ptr<AppContext> app_;
};

}  // namespace ui_test
