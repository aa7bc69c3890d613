#pragma once

#include <cstdint>

// UI text ids the application shell itself uses.
namespace ui_text {

inline constexpr std::uint32_t HelpFolder = 10278;       // the help language's folder name
inline constexpr std::uint32_t HelpUnavailable = 10280;  // help could not be shown
inline constexpr std::uint32_t ErrorCaption = 10281;     // caption of error boxes
inline constexpr std::uint32_t OtherInstanceUnreachable = 10286;

}  // namespace ui_text
