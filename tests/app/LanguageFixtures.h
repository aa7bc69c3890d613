#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace app_test {

// The text of a language file: a header with the given signature and language id fields
// (left out when empty) and one entry per text, its msgid "English <id>".
std::string languageFileText(const std::string& signature, const std::string& languageId,
                             const std::map<std::uint32_t, std::string>& texts);

// Writes a usable language file of the id with the texts.
void writeLanguageFile(const std::filesystem::path& path, std::uint16_t id,
                       const std::map<std::uint32_t, std::string>& texts);

void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace app_test
