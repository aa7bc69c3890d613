#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TextFormat.h"

namespace {

struct Case {
    std::u16string text;
    std::u16string expected;
};

TEST(TextFormatTest, TranslationsMayReorderRepeatOrLeaveOutPlaceholders) {
    const std::vector<std::u16string> arguments = {u"Anna", u"SIM"};
    const std::vector<Case> cases = {
        {u"%1 on %2", u"Anna on SIM"},
        {u"%2: %1", u"SIM: Anna"},
        {u"%1, %1 and %1", u"Anna, Anna and Anna"},
        {u"No name here", u"No name here"},
        {u"Only %2", u"Only SIM"},
        // Placeholders beyond the arguments, and every other "%", stay as written.
        {u"%3 and %9", u"%3 and %9"},
        {u"100% done, %0, %%1, %", u"100% done, %0, %Anna, %"},
        {u"%12", u"Anna2"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatText(c.text, arguments), c.expected);
    }
}

TEST(TextFormatTest, ArgumentsAreNeverFormattedThemselves) {
    EXPECT_EQ(formatText(u"%1 and %2", {u"%2 %s %n", u"second"}), u"%2 %s %n and second");
    EXPECT_EQ(formatText(u"%1", {u"%1%1"}), u"%1%1");
    EXPECT_EQ(formatText(u"Phone %1 was removed.", {}), u"Phone %1 was removed.");
}

}  // namespace
