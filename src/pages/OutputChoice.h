#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "export/OutputFormat.h"

// What the output path page offers and decides: the formats to choose from, the file name each
// proposes, the save dialog's file type, and what becomes of the file name when the format
// changes.
class OutputChoice {
public:
    struct Format {
        OutputFormat format;
        std::uint32_t nameId;  // its name in the UI language
    };
    // The formats, in the order offered.
    static const std::array<Format, 3>& formats();
    // The position of a format among them; 0 (Google CSV) for a value of no layout.
    static std::size_t positionOf(OutputFormat format);

    // The file name extension of the format, without its dot: "csv" or "vcf".
    static std::u16string_view extensionOf(OutputFormat format);
    // "my_contacts.csv" or "my_contacts.vcf".
    static std::u16string proposedFileName(OutputFormat format);
    // The save dialog's pattern for the format's files: "*.csv" or "*.vcf".
    static std::u16string patternOf(OutputFormat format);

    // The file name once the format has changed to format. An empty name, and a name that is
    // one of the names proposed, become the name proposed for it. A name of the user's own is
    // kept, but an extension of another format (.csv, .vcf, in any letter case) is replaced by
    // the format's own, written in lower case unless the typed one was all in upper case: a
    // vCard file named .csv (or the other way round) would confuse the programs that import
    // it. Any other name (another extension, none) stays as typed.
    static std::u16string fileNameFor(const std::u16string& fileName, OutputFormat format);
};
