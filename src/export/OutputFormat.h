#pragma once

#include <cstdint>

// Layouts of the output file, as stored in the settings; any other value writes nothing.
namespace output_format {
inline constexpr std::int32_t GoogleCsv = 1;
inline constexpr std::int32_t OutlookCsv = 2;
inline constexpr std::int32_t VCard = 3;

// Whether an export in this layout writes a file at all.
inline constexpr bool writesFile(std::int32_t format) {
    return format == GoogleCsv || format == OutlookCsv || format == VCard;
}
}  // namespace output_format
