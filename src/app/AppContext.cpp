#include "app/AppContext.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <tuple>

#include "app/CommonSettings.h"
#include "app/IHelpViewer.h"
#include "app/IMessageBox.h"
#include "app/LanguageManager.h"
#include "app/UiTextIds.h"
#include "charsets/TextCodec.h"
#include "tasks/PhoneManager.h"

namespace {

struct HelpTopic {
    const char* file;
    const char* anchor;
};

// By topic id: 0 completion, 1 contacts source, 2 to 4 a phone that cannot be used (no
// driver, another USB mode, not supported), 5 device list, 6 exporting, 7 output path,
// 8 welcome; from 9 on the sections that explain the causes of causes/CauseTable.h (a phone's
// port or answers, 9 to 15; the output file, 16 to 23).
constexpr std::array<HelpTopic, 26> kHelpTopics{{
    {"completion.html", ""},
    {"contacts-source.html", ""},
    {"phone-not-usable.html", "no-driver"},
    {"phone-not-usable.html", "other-usb-mode"},
    {"phone-not-usable.html", "not-supported"},
    {"device-list.html", ""},
    {"exporting.html", ""},
    {"output-path.html", ""},
    {"welcome.html", ""},
    {"phone-not-usable.html", "permission"},
    {"phone-not-usable.html", "port-in-use"},
    {"phone-not-usable.html", "port-gone"},
    {"phone-not-usable.html", "port-error"},
    {"phone-not-usable.html", "no-answer"},
    {"phone-not-usable.html", "refused-mode"},
    {"phone-not-usable.html", "missing-commands"},
    {"exporting.html", "folder-missing"},
    {"exporting.html", "no-permission"},
    {"exporting.html", "read-only-file-system"},
    {"exporting.html", "disk-full"},
    {"exporting.html", "quota"},
    {"exporting.html", "file-too-large"},
    {"exporting.html", "disk-error"},
    {"exporting.html", "cannot-write"},
    {"phone-not-usable.html", "sim-locked"},
    {"device-list.html", "other-makers"},
}};

char16_t foldAscii(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

std::u16string trimmedOfSpaces(const std::u16string& text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

}  // namespace

AppContext::AppContext() : AppContext(AppEnvironment::fromProcess()) {}

AppContext::AppContext(AppEnvironment environment, LanguageManager* languageManager)
    : environment_(std::move(environment)),
      languageManager_(languageManager != nullptr ? languageManager : &LanguageManager::instance()),
      helpFolder_(environment_.helpFolder) {}

AppContext::~AppContext() {
    exportSession_.release();
}

void AppContext::loadSettings(const std::filesystem::path& settingsFile) {
    settingsFilePath_ = settingsFile;
    aliases_.setSettingsFile(settingsFile);
    const CommonSettings settings = CommonSettings::read(settingsFile);
    outputPath_ = settings.path;
    showWelcome_ = settings.showWelcome;
    languageManager_->setLanguage(settings.language);
    const std::lock_guard lock(choicesMutex_);
    outputFormat_ = settings.outputFormat;
    charset_ = settings.charset;
}

void AppContext::saveSettings() {
    CommonSettings settings;
    settings.showWelcome = showWelcome_;
    settings.path = outputPath_;
    std::tie(settings.outputFormat, settings.charset) = outputFormatAndCharset();
    settings.language = languageManager_->language();
    settings.write(settingsFilePath_);
}

std::u16string AppContext::text(std::uint32_t id) const {
    return languageManager_->text(id);
}

bool AppContext::setOutputPath(const std::u16string& path) {
    outputPath_ = path;
    if (phoneManager_) {
        phoneManager_->setPath(path);
    }
    return true;
}

void AppContext::selectDevice(const std::u16string& portName, const std::u16string& displayName,
                              bool extendedPhonebook, bool otherMaker) {
    simSelected_ = false;
    deviceMemorySelected_ = false;
    deviceName_ = displayName;
    devicePort_ = portName;
    deviceImei_.clear();
    auto manager = std::make_unique<PhoneManager>(portName, extendedPhonebook, otherMaker);
    {
        const std::lock_guard lock(choicesMutex_);
        std::swap(manager, phoneManager_);
        phoneMaker_ = phoneManager_->maker();
    }
    // The previous manager (now in manager) is deleted here, outside the lock.
    if (manager) {
        exportSession_.release();
        manager.reset();
    }
    needsPhoneQuery_ = true;
}

PhoneMaker AppContext::phoneMaker() const {
    const std::lock_guard lock(choicesMutex_);
    return phoneMaker_;
}

void AppContext::releaseDevice() {
    devicePort_.clear();
    deviceImei_.clear();
    std::unique_ptr<PhoneManager> manager;
    {
        const std::lock_guard lock(choicesMutex_);
        std::swap(manager, phoneManager_);
        phoneMaker_ = PhoneMaker::Own;
    }
    // The exporting page finishes its export and asks again when that fails; an export that
    // ended without it must not be thrown away with its PhoneManager.
    exportSession_.release();
    manager.reset();
}

bool AppContext::isCurrentDevice(const std::u16string& portName) const {
    return portName.size() == devicePort_.size() &&
           std::equal(portName.begin(), portName.end(), devicePort_.begin(),
                      [](char16_t a, char16_t b) { return foldAscii(a) == foldAscii(b); });
}

void AppContext::closePhonePort() {
    if (phoneManager_) {
        phoneManager_->closePort();
    }
}

void AppContext::requestStorages(IPHBGetStoragesSink& sink) {
    if (phoneManager_) {
        phoneManager_->requestStorages(sink);
    }
}

void AppContext::requestCharsets(IPhoneGetCharsetsSink& sink) {
    if (phoneManager_) {
        phoneManager_->requestCharsets(sink);
    }
}

std::u16string AppContext::charsetName() const {
    const std::lock_guard lock(choicesMutex_);
    return charsetName_;
}

void AppContext::setCharsetName(const std::u16string& name) {
    const std::lock_guard lock(choicesMutex_);
    charsetName_ = name;
    if (phoneManager_) {
        phoneManager_->setCharset(name);
    }
}

std::pair<OutputFormat, std::int32_t> AppContext::outputFormatAndCharset() const {
    const std::lock_guard lock(choicesMutex_);
    return {outputFormat_, charset_};
}

void AppContext::setOutputFormatAndCharset(OutputFormat format, std::int32_t charset) {
    const std::lock_guard lock(choicesMutex_);
    outputFormat_ = format;
    charset_ = charset;
}

bool AppContext::startExport(IExportSessionListener& listener, ExportSession::Poster post) {
    if (!phoneManager_) {
        return false;
    }
    ExportPlan plan;
    std::tie(plan.layout, plan.outputCharset) = outputFormatAndCharset();
    if (deviceMemorySelected_) {
        plan.storages.push_back(StorageKind::Memory);
    }
    if (simSelected_) {
        plan.storages.push_back(StorageKind::Sim);
    }
    plan.path = outputPath_;
    plan.phoneCharset = charsetName();
    plan.imei = deviceImei_;
    exportStarted_ = true;
    exportSession_.start(*phoneManager_, plan, listener, std::move(post));
    return true;
}

bool AppContext::takeExportStarted() {
    const bool started = exportStarted_;
    exportStarted_ = false;
    return started;
}

void AppContext::pauseExport() {
    exportSession_.pause();
}

void AppContext::resumeExport() {
    exportSession_.resume();
}

void AppContext::stopExport(StopKind kind) {
    if (kind == StopKind::ByUser) {
        exportSession_.stop();
    } else if (phoneManager_) {
        phoneManager_->stop(kind);
    }
}

ExportStatistics AppContext::exportStatistics(StorageKind storageKind) const {
    return phoneManager_ ? phoneManager_->exportStatistics(storageKind) : ExportStatistics{};
}

std::vector<std::uint16_t> AppContext::languages() const {
    return languageManager_->languages();
}

std::u16string AppContext::languageDisplayName(std::uint16_t id) const {
    return languageManager_->displayName(id);
}

std::uint16_t AppContext::language() const {
    return languageManager_->language();
}

void AppContext::setLanguage(std::uint16_t id) {
    languageManager_->setLanguage(id);
}

bool AppContext::helpPage(std::int32_t topic, std::string& file, std::string& anchor) {
    if (topic < 0 || static_cast<std::size_t>(topic) >= kHelpTopics.size()) {
        return false;
    }
    const HelpTopic& entry = kHelpTopics[static_cast<std::size_t>(topic)];
    file = entry.file;
    anchor = entry.anchor;
    return true;
}

void AppContext::showHelp(std::int32_t topic, IMessageBox& owner) const {
    const auto shown = [&]() {
        const std::u16string name = trimmedOfSpaces(text(ui_text::HelpFolder));
        if (name.empty()) {
            return false;
        }
        // Joined as text: a name starting with "/" does not replace the help folder.
        const std::filesystem::path folder(helpFolder_.native() + "/" + text_codec::toUtf8(name));
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            return false;
        }
        std::string file;
        std::string anchor;
        if (!helpPage(topic, file, anchor)) {
            return false;
        }
        const std::filesystem::path page = folder / file;
        if (!std::filesystem::is_regular_file(page, error) || helpViewer_ == nullptr) {
            return false;
        }
        return helpViewer_->openHelpPage(page, anchor);
    };
    if (!shown()) {
        owner.showError(text(ui_text::ErrorCaption), text(ui_text::HelpUnavailable));
    }
}
