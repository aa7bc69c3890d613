#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Fills the placeholders %1 to %9 of a UI text with its arguments, in one pass: %n takes the
// n-th argument wherever it stands, as often as it stands there, so a translation may reorder,
// repeat or leave out placeholders. A placeholder without an argument, and a "%" followed by
// anything else, stays as written (as with Qt's arg(), "%%" is not special); an argument is
// never scanned for placeholders itself. No text is ever used as a printf format.
std::u16string formatText(std::u16string_view text, const std::vector<std::u16string>& arguments);
std::u16string formatText(std::u16string_view text,
                          std::initializer_list<std::u16string_view> arguments);
