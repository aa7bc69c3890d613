#pragma once

#include <cstdint>

// Layouts of the output file, as stored in the settings; any other value writes nothing.
namespace output_format {
inline constexpr std::int32_t GoogleCsv = 1;
inline constexpr std::int32_t OutlookCsv = 2;
}  // namespace output_format
