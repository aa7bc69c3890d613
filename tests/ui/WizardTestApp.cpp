#include "WizardTestApp.h"

#include <gtest/gtest.h>

#include <QString>

#include "app/SettingsLocation.h"

namespace ui_test {

WizardTestApp::WizardTestApp(std::uint16_t language)
    : dir_(std::make_shared<test_support::TempDir>()), folder_(dir_->path()) {
    std::filesystem::create_directories(languageFolder());
    for (const auto& entry : std::filesystem::directory_iterator(CONTAXIO_DATA_DIR "/lng")) {
        std::filesystem::copy_file(entry.path(), languageFolder() / entry.path().filename());
    }
    start(language);
}

WizardTestApp::WizardTestApp(const WizardTestApp& earlier, std::uint16_t language)
    : dir_(earlier.dir_), folder_(earlier.folder_) {
    start(language);
}

WizardTestApp::~WizardTestApp() = default;

void WizardTestApp::start(std::uint16_t language) {
    AppEnvironment environment;
    environment.languageFolders = {languageFolder()};
    environment.helpFolder = CONTAXIO_DATA_DIR "/help";
    environment.configHome = folder_ / "config";
    environment.locale.systemDefaultFile = folder_ / "no-default-locale";
    languages_.setLanguageNames(&names_);
    app_ = std::make_unique<AppContext>(environment, &languages_);
    languages_.scan(environment.languageFolders);
    app_->loadSettings(settings_location::prepare(environment.configHome));
    if (!languages_.load(language)) {
        ADD_FAILURE() << "language " << language << " cannot be loaded";
    }
    languages_.setLanguage(language);
    app_->setHelpViewer(&help_);
}

QString WizardTestApp::text(std::uint32_t id) const {
    return QString::fromStdU16String(app_->text(id));
}

}  // namespace ui_test
