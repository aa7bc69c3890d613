#pragma once

#include <cstdint>
#include <optional>

#include "charsets/CharsetChoice.h"

// Layouts of the output file. The values are the layout codes the settings file stores.
enum class OutputFormat : std::int32_t {
    GoogleCsv = 1,
    OutlookCsv = 2,
    VCard = 3,
};

// Whether an export in this layout writes a file at all (a value that is no layout writes
// nothing).
constexpr bool writesFile(OutputFormat format) {
    return format == OutputFormat::GoogleCsv || format == OutputFormat::OutlookCsv ||
           format == OutputFormat::VCard;
}

// The layout of a code as the settings file keeps it; none for a code of no layout.
constexpr std::optional<OutputFormat> outputFormatOf(std::int32_t code) {
    const auto format = static_cast<OutputFormat>(code);
    return writesFile(format) ? std::optional<OutputFormat>(format) : std::nullopt;
}

// How the bytes of the output file are encoded.
enum class FileEncoding {
    Utf16WithMark,  // UTF-16LE with byte-order mark
    Utf8WithMark,   // UTF-8 with byte-order mark
    Ascii,
    Utf8,  // UTF-8 without byte-order mark
};

// The encoding of a file of the layout for an export of the output charset (output_charset):
// a CSV file follows the charset, a vCard file is UTF-8 without a mark whatever it is.
constexpr FileEncoding fileEncodingOf(OutputFormat format, std::int32_t outputCharset) {
    if (format == OutputFormat::VCard) {
        return FileEncoding::Utf8;
    }
    switch (outputCharset) {
        case output_charset::Ucs2:
            return FileEncoding::Utf16WithMark;
        case output_charset::Utf8:
            return FileEncoding::Utf8WithMark;
        default:
            return FileEncoding::Ascii;
    }
}
