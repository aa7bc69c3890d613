#pragma once

#include <cstdint>

// Layouts of the output file. The values are the layout codes the settings file stores; a code
// read from it that is none of these is kept as it is and writes nothing.
enum class OutputFormat : std::int32_t {
    GoogleCsv = 1,
    OutlookCsv = 2,
    VCard = 3,
};

// Whether an export in this layout writes a file at all.
constexpr bool writesFile(OutputFormat format) {
    return format == OutputFormat::GoogleCsv || format == OutputFormat::OutlookCsv ||
           format == OutputFormat::VCard;
}
