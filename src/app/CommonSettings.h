#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "export/OutputFormat.h"

// The choices the program remembers between runs, section "Common" of the settings file.
struct CommonSettings {
    std::u16string path;         // key "path": the output file, folder and name
    bool showWelcome = true;     // key "showWelcome": "1" or "0"
    std::uint16_t language = 0;  // key "language": a language id, 0 for none chosen
    // key "outputFormat": the layout code (1 Google CSV, 2 Outlook CSV, 3 vCard); a code of no
    // layout reads as Google CSV
    OutputFormat outputFormat = OutputFormat::GoogleCsv;
    std::int32_t charset = 1;  // key "charset": the output charset code

    // Reads the keys in the order path, showWelcome, language, outputFormat, charset; what is
    // missing keeps the default above. showWelcome is true exactly when its trimmed value is
    // "1"; the language is the 32-bit number read, cut to its low 16 bits.
    static CommonSettings read(const std::filesystem::path& file);

    // Writes all five keys, in the order showWelcome, path, outputFormat, charset, language,
    // in one replacement of the file. False when it could not be written.
    bool write(const std::filesystem::path& file) const;
};
