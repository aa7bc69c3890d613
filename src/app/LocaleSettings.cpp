#include "app/LocaleSettings.h"

#include <cstdlib>
#include <string_view>

#include "app/AtomicFile.h"
#include "app/LanguageIds.h"

namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads the shell assignments of a locale file ("LANG=de_DE.UTF-8", "export LANG=...",
// quoted values); later assignments replace earlier ones, as the shell does.
LocaleSettings readSystemDefault(const std::filesystem::path& file) {
    LocaleSettings settings;
    const atomic_file::ReadResult read = atomic_file::read(file);
    if (read.status != atomic_file::ReadResult::Status::Read) {
        return settings;
    }
    std::string_view rest = read.bytes;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.substr(0, 7) == "export ") {
            line = trimmed(line.substr(7));
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = line.substr(0, equals);
        std::string_view value = line.substr(equals + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (name == "LANGUAGE") {
            settings.language = std::string(value);
        } else if (name == "LC_ALL") {
            settings.lcAll = std::string(value);
        } else if (name == "LC_MESSAGES") {
            settings.lcMessages = std::string(value);
        } else if (name == "LANG") {
            settings.lang = std::string(value);
        }
    }
    return settings;
}

void addVariables(const LocaleSettings& settings, std::vector<std::uint16_t>& ids) {
    const auto add = [&ids](std::string_view name) {
        const std::uint16_t id = language_ids::fromLocaleName(name);
        if (id != 0) {
            ids.push_back(id);
        }
    };
    if (settings.language) {
        std::string_view list = *settings.language;
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            add(list.substr(0, colon));
            list = colon == std::string_view::npos ? std::string_view{} : list.substr(colon + 1);
        }
    }
    for (const auto* value : {&settings.lcAll, &settings.lcMessages, &settings.lang}) {
        if (*value) {
            add(**value);
        }
    }
}

}  // namespace

LocaleSettings LocaleSettings::fromEnvironment() {
    LocaleSettings settings;
    settings.language = variable("LANGUAGE");
    settings.lcAll = variable("LC_ALL");
    settings.lcMessages = variable("LC_MESSAGES");
    settings.lang = variable("LANG");
    return settings;
}

std::vector<std::uint16_t> LocaleSettings::candidates() const {
    std::vector<std::uint16_t> ids;
    addVariables(*this, ids);
    addVariables(readSystemDefault(systemDefaultFile), ids);
    return ids;
}
