#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ChildProcess.h"
#include "TempDir.h"
#include "charsets/CodePages.h"
#include "charsets/LocaleCharset.h"
#include "charsets/MbsToUcsDefaultConverter.h"
#include "charsets/UcsToMbsConverter.h"

// Code page 0 is the charset of the user's locale. These tests run the converters in locales
// whose charset is not UTF-8: "C", and locales compiled for the test into a folder of its own
// (LOCPATH), since a fresh system has none but C and C.UTF-8.
// glibc's newlocale() does not free the list it makes of LOCPATH (a few dozen bytes a call, in
// C programs too); under LeakSanitizer that would fail every test here that sets LOCPATH.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The locales the tests compile, made once for the whole program into a folder of its own.
class CompiledLocales {
public:
    // The folder to name in LOCPATH for the locale, or an empty path when this system lacks
    // what makes it (the reason in whyNot). A locale that should have been made but was not
    // fails the calling test.
    static fs::path folderFor(const std::string& name, const std::string& source,
                              const std::string& charmap, std::string& whyNot) {
        static CompiledLocales locales;
        return locales.make(name, source, charmap, whyNot);
    }

private:
    struct Outcome {
        std::string missing;  // what the system lacks, if anything
        std::string failure;  // how localedef failed, if it did
    };

    fs::path make(const std::string& name, const std::string& source, const std::string& charmap,
                  std::string& whyNot) {
        auto [entry, fresh] = made_.try_emplace(name);
        Outcome& outcome = entry->second;
        if (fresh)
            outcome = compile(name, source, charmap);
        if (!outcome.failure.empty())
            ADD_FAILURE() << "localedef could not make " << name << ": " << outcome.failure;
        whyNot = outcome.missing.empty() ? outcome.failure : outcome.missing;
        return whyNot.empty() ? folder_.path() : fs::path();
    }

    Outcome compile(const std::string& name, const std::string& source,
                    const std::string& charmap) {
        const fs::path i18n = "/usr/share/i18n";
        if (!fs::exists("/usr/bin/localedef"))
            return {"localedef is not installed", ""};
        if (!fs::exists(i18n / "locales" / source))
            return {"the locale source " + source + " is not installed (package locales)", ""};
        if (!fs::exists(i18n / "charmaps" / (charmap + ".gz")) &&
            !fs::exists(i18n / "charmaps" / charmap))
            return {"the character map " + charmap + " is not installed (package locales)", ""};
        // -c: a charset that is not ASCII-compatible draws a warning, which is no failure here.
        test_support::ChildProcess localedef(
            "/usr/bin/localedef",
            {"-c", "-i", source, "-f", charmap, (folder_.path() / name).string()});
        const int status = localedef.wait(120s);
        if (!fs::exists(folder_.path() / name / "LC_CTYPE"))
            return {"", "status " + std::to_string(status) + ": " + localedef.errors()};
        return {};
    }

    test_support::TempDir folder_;
    std::map<std::string, Outcome> made_;
};

// LOCPATH and LC_ALL set to a compiled locale while it lives.
class InLocale {
public:
    InLocale(const std::string& source, const std::string& charmap) {
        const std::string name = source + "." + charmap;
        const fs::path folder = CompiledLocales::folderFor(name, source, charmap, whyNot);
        if (folder.empty())
            return;
        path_.emplace("LOCPATH", folder.string());
        all_.emplace("LC_ALL", name);
    }
    bool ready() const { return all_.has_value(); }

    std::string whyNot;

private:
    std::optional<ScopedVariable> path_;
    std::optional<ScopedVariable> all_;
};

std::u16string decoded(const std::string& bytes) {
    return MbsToUcsDefaultConverter(code_page::SystemDefault).convert(bytes);
}

std::string encoded(const std::u16string& text) {
    return UcsToMbsConverter(code_page::SystemDefault).convert(text);
}

TEST(LocaleCharset, TheCLocaleIsAscii) {
    const ScopedVariable all("LC_ALL", "C");
    EXPECT_EQ(decoded("Ab\xE9\x80"), u"Ab\uFFFD\uFFFD");
    EXPECT_EQ(encoded(u"Ab\u00E9\U0001F600."), "Ab??.");
}

TEST(LocaleCharset, AnUnknownLocaleIsReadAsUtf8) {
    const ScopedVariable all("LC_ALL", "xx_NOWHERE.NOCHARSET");
    EXPECT_EQ(decoded("Jos\xC3\xA9"), u"Jos\u00E9");
    EXPECT_EQ(encoded(u"Jos\u00E9"), "Jos\xC3\xA9");
}

TEST(LocaleCharset, Latin1LocaleConvertsBothWays) {
    const InLocale locale("en_US", "ISO-8859-1");
    if (!locale.ready())
        GTEST_SKIP() << locale.whyNot;
    EXPECT_EQ(decoded("\xE9t\xE9 \xFF"), u"\u00E9t\u00E9 \u00FF");
    // A character Latin-1 cannot hold is one '?', a surrogate pair included.
    EXPECT_EQ(encoded(u"\u00E9t\u00E9 \u20AC\U0001F600."), "\xE9t\xE9 ??.");
}

TEST(LocaleCharset, ShiftJisx0213KeepsEveryCharacterItHoldsBack) {
    const InLocale locale("ja_JP", "SHIFT_JISX0213");
    if (!locale.ready())
        GTEST_SKIP() << locale.whyNot;
    // The charset waits after a kana for a combining mark; nothing may be lost at the end.
    EXPECT_EQ(encoded(u"\u3051"), "\x82\xAF");
    EXPECT_EQ(encoded(u"\u3051\u3051"), "\x82\xAF\x82\xAF");
    // A kana and its mark are one character of the charset.
    EXPECT_EQ(encoded(u"\u304B\u309A"), "\x82\xF5");
    // A character it cannot hold is one '?', and what was held before it stays.
    EXPECT_EQ(encoded(u"\u3051\U0001F600\u3051"), "\x82\xAF?\x82\xAF");
    EXPECT_EQ(encoded(u"A\u3051"), "A\x82\xAF");
    EXPECT_EQ(decoded("\x82\xAF\x82\xF5"), u"\u3051\u304B\u309A");
    // A byte sequence the charset does not define is one U+FFFD per byte.
    EXPECT_EQ(decoded("A\x82"), u"A\uFFFD");
}

TEST(LocaleCharset, Big5HkscsKeepsEveryCharacterItHoldsBack) {
    const InLocale locale("zh_HK", "BIG5-HKSCS");
    if (!locale.ready())
        GTEST_SKIP() << locale.whyNot;
    EXPECT_EQ(encoded(u"\u00CA"), "\x88\x66");
    EXPECT_EQ(encoded(u"\u00CA\u00CA"), "\x88\x66\x88\x66");
    EXPECT_EQ(encoded(u"\u00CA\u0304"), "\x88\x62");  // with its macron: one character
    EXPECT_EQ(encoded(u"\u00CA\U0001F600"), "\x88\x66?");
    EXPECT_EQ(decoded("\x88\x62\x88\x66"), u"\u00CA\u0304\u00CA");
}

TEST(LocaleCharset, AConverterSetsTheLocaleUpOnceWhenItIsMade) {
    const InLocale locale("en_US", "ISO-8859-1");
    if (!locale.ready())
        GTEST_SKIP() << locale.whyNot;
    const MbsToUcsDefaultConverter decoder(code_page::SystemDefault);
    const UcsToMbsConverter encoder(code_page::SystemDefault);
    ASSERT_NE(decoder.localeCharset(), nullptr);
    EXPECT_EQ(decoder.localeCharset()->codeset(), "ISO-8859-1");
    EXPECT_EQ(MbsToUcsDefaultConverter(code_page::Utf8).localeCharset(), nullptr);

    // Once made, the converters keep the charset they set up, whatever the environment says.
    const ScopedVariable all("LC_ALL", "C");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(decoder.convert("\xE9"), u"\u00E9");
        EXPECT_EQ(encoder.convert(u"\u00E9"), "\xE9");
    }
    EXPECT_EQ(decoded("\xE9"), u"\uFFFD");  // a new converter reads the locale anew
}

TEST(LocaleCharset, ANamedCharsetThatIconvDoesNotKnowIsUtf8) {
    LocaleCharset unknown("NO-SUCH-CHARSET-42");
    EXPECT_EQ(unknown.decode("\xC3\xA9"), u"\u00E9");
    EXPECT_EQ(unknown.encode(u"\u00E9"), "\xC3\xA9");
}

}  // namespace
