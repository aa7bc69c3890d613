#pragma once

#include <string>
#include <string_view>

namespace test_support {

// Decodes UTF-8 that must be well-formed (no overlong forms, surrogates, code points beyond
// U+10FFFF or cut sequences); false, with the reason in problem, at the first flaw.
bool decodeStrictUtf8(std::string_view bytes, std::u16string& text, std::string& problem);

}  // namespace test_support
