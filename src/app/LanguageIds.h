#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The numeric language ids the language files and the settings use (the Windows language
// identifiers: 1033 English (United States), 1031 German (Germany), 1036 French (France), 3082
// Spanish (Spain), 1049 Russian (Russia), ...), and the POSIX locale names they stand for.
namespace language_ids {

inline constexpr std::uint16_t kEnglishUnitedStates = 1033;

// The id of a locale name as the environment gives it ("de_DE.UTF-8", "de_DE@euro", "pt-BR",
// "de"): its language and territory, without codeset or modifier; a language without a
// territory stands for its main locale ("de" is "de_DE"). 0 for "C", "POSIX" and names the
// table does not know.
std::uint16_t fromLocaleName(std::string_view name);

// The locale name of an id ("de_DE"); empty for ids the table does not know.
std::string localeName(std::uint16_t id);

}  // namespace language_ids
