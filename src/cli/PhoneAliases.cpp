#include "cli/PhoneAliases.h"

#include <utility>

#include "app/SettingsLocation.h"
#include "charsets/TextCodec.h"

PhoneAliases::PhoneAliases(std::filesystem::path settingsFile) {
    store_.setSettingsFile(std::move(settingsFile));
}

std::filesystem::path PhoneAliases::settingsFileIn(
    const std::optional<std::filesystem::path>& configHome) {
    if (!configHome || configHome->empty()) {
        return settings_location::kFileName;
    }
    return settings_location::settingsFolder(*configHome) / settings_location::kFileName;
}

PhoneAliases PhoneAliases::fromSettings() {
    return PhoneAliases(settingsFileIn(settings_location::configHome()));
}

std::string PhoneAliases::aliasFor(const std::string& imei) {
    if (imei.empty()) {
        return {};
    }
    return text_codec::toUtf8(store_.aliasFor(text_codec::fromUtf8(imei)));
}
