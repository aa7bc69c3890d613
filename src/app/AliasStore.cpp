#include "app/AliasStore.h"

#include "app/ProfileFile.h"

namespace {

constexpr std::u16string_view kSection = u"Aliases";

}  // namespace

void AliasStore::setSettingsFile(std::filesystem::path file) {
    settingsFile_ = std::move(file);
}

std::u16string AliasStore::aliasFor(const std::u16string& imei) {
    if (const auto cached = cache_.find(imei); cached != cache_.end()) {
        return cached->second;
    }
    std::u16string alias = ProfileFile(settingsFile_).readString(kSection, imei, imei);
    if (alias != imei) {
        cache_[imei] = alias;
    }
    return alias;
}

void AliasStore::setAlias(const std::u16string& imei, const std::u16string& alias) {
    if (imei.empty()) {
        return;
    }
    cache_[imei] = alias;
    ProfileFile(settingsFile_).writeString(kSection, imei, alias);
}
