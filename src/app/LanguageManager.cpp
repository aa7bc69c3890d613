#include "app/LanguageManager.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "app/ILanguageNames.h"
#include "app/LanguageIds.h"
#include "charsets/TextCodec.h"

namespace {

std::map<std::uint16_t, std::filesystem::path> scanFolder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (it->path().extension() == ".po" && it->is_regular_file(ignored)) {
            files.push_back(it->path());
        }
    }
    // The file system lists in no particular order.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return a.filename().native() < b.filename().native();
    });
    std::map<std::uint16_t, std::filesystem::path> found;
    for (const std::filesystem::path& file : files) {
        if (const auto language = LanguageFile::fromFile(file)) {
            found.emplace(language->languageId(), file);
        }
    }
    return found;
}

}  // namespace

LanguageManager& LanguageManager::instance() {
    static LanguageManager manager;
    return manager;
}

LanguageManager::LanguageManager() = default;
LanguageManager::~LanguageManager() = default;

void LanguageManager::scan(const std::vector<std::filesystem::path>& folders) {
    libraries_.clear();
    for (const std::filesystem::path& folder : folders) {
        libraries_ = scanFolder(folder);
        if (!libraries_.empty()) {
            return;
        }
    }
}

std::uint16_t LanguageManager::count() const {
    return static_cast<std::uint16_t>(libraries_.size());
}

std::vector<std::uint16_t> LanguageManager::languages() const {
    std::vector<std::uint16_t> ids;
    for (const auto& entry : libraries_) {
        ids.push_back(entry.first);
    }
    return ids;
}

std::filesystem::path LanguageManager::libraryPath(std::uint16_t id) const {
    const auto found = libraries_.find(id);
    return found == libraries_.end() ? std::filesystem::path{} : found->second;
}

bool LanguageManager::load(std::uint16_t id) {
    const auto found = libraries_.find(id);
    if (found == libraries_.end()) {
        return false;
    }
    std::optional<LanguageFile> language = LanguageFile::fromFile(found->second);
    if (!language || language->languageId() != id) {
        return false;
    }
    loaded_ = std::make_unique<LanguageFile>(std::move(*language));
    return true;
}

void LanguageManager::unload() {
    loaded_.reset();
}

std::u16string LanguageManager::text(std::uint32_t id) const {
    return loaded_ ? loaded_->text(id) : std::u16string{};
}

std::uint16_t LanguageManager::detectLanguage(const LocaleSettings& locale) const {
    for (const std::uint16_t id : locale.candidates()) {
        if (libraries_.count(id) != 0) {
            return id;
        }
    }
    return 0;
}

std::uint16_t LanguageManager::detectLanguage() const {
    return detectLanguage(LocaleSettings::fromEnvironment());
}

std::u16string LanguageManager::displayName(std::uint16_t id) const {
    const std::string locale = language_ids::localeName(id);
    if (!locale.empty()) {
        if (names_ != nullptr) {
            std::u16string name = names_->nativeLanguageName(locale);
            if (!name.empty()) {
                return name;
            }
        }
        return text_codec::fromUtf8(locale);
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(id));
    return u"Locale 0x" + text_codec::fromUtf8(hex);
}
