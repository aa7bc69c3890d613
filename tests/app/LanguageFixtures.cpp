#include "LanguageFixtures.h"

#include <fstream>
#include <stdexcept>

namespace app_test {

std::string languageFileText(const std::string& signature, const std::string& languageId,
                             const std::map<std::uint32_t, std::string>& texts) {
    std::string text =
        "msgid \"\"\n"
        "msgstr \"\"\n"
        "\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    if (!signature.empty()) {
        text += "\"X-Contaxio-Signature: " + signature + "\\n\"\n";
    }
    if (!languageId.empty()) {
        text += "\"X-Contaxio-Language-Id: " + languageId + "\\n\"\n";
    }
    for (const auto& [id, translation] : texts) {
        text += "\nmsgctxt \"" + std::to_string(id) + "\"\nmsgid \"English " + std::to_string(id) +
                "\"\nmsgstr \"" + translation + "\"\n";
    }
    return text;
}

void writeLanguageFile(const std::filesystem::path& path, std::uint16_t id,
                       const std::map<std::uint32_t, std::string>& texts) {
    writeFile(path, languageFileText("3C5F", std::to_string(id), texts));
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace app_test
