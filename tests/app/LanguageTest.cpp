#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "LanguageFixtures.h"
#include "TempDir.h"
#include "app/ILanguageNames.h"
#include "app/LanguageFile.h"
#include "app/LanguageIds.h"
#include "app/LanguageManager.h"
#include "app/LocaleSettings.h"

namespace {

using app_test::languageFileText;
using app_test::writeFile;
using app_test::writeLanguageFile;
using test_support::TempDir;
using Ids = std::vector<std::uint16_t>;

// --- One file -------------------------------------------------------------------------------

TEST(LanguageFileTest, ReadsTheIdAndTheTexts) {
    const std::string bytes =
        "# German\n"
        "#, fuzzy\n"
        "msgid \"\"\n"
        "msgstr \"\"\n"
        "\"Project-Id-Version: contaxio\\n\"\n"
        "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
        "\"X-Contaxio-Signature: 3c5f\\n\"\n"
        "\"X-Contaxio-Language-Id: 1031\\n\"\n"
        "\n"
        "msgctxt \"10207\"\n"
        "msgid \"Device list\"\n"
        "msgstr \"Geräteliste\"\n"
        "\n"
        "#, qt-format\n"
        "msgctxt \"10260\"\n"
        "msgid \"\"\n"
        "\"The phone %1 \"\n"
        "\"was removed.\"\n"
        "msgstr \"Das Telefon %1\\nwurde entfernt.\"\n"
        "\n"
        "#, fuzzy\n"
        "msgctxt \"10261\"\n"
        "msgid \"Not sure\"\n"
        "msgstr \"Unsicher\"\n"
        "\n"
        "msgctxt \"10262\"\n"
        "msgid \"Not translated yet\"\n"
        "msgstr \"\"\n"
        "\n"
        "msgctxt \"label\"\n"
        "msgid \"No numeric id\"\n"
        "msgstr \"Keine Nummer\"\n"
        "\n"
        "msgid \"No context\"\n"
        "msgstr \"Kein Kontext\"\n"
        "\n"
        "#~ msgctxt \"10263\"\n"
        "#~ msgid \"Obsolete\"\n"
        "#~ msgstr \"Veraltet\"\n";
    const auto file = LanguageFile::fromBytes(bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->languageId(), 1031);
    EXPECT_EQ(file->texts(), (std::map<std::uint32_t, std::u16string>{
                                 {10207, u"Geräteliste"},
                                 {10260, u"Das Telefon %1\nwurde entfernt."},
                                 {10261, u"Not sure"},
                                 {10262, u"Not translated yet"},
                             }));
    EXPECT_EQ(file->sourceTexts().at(10260), u"The phone %1 was removed.");
    EXPECT_EQ(file->text(10207), u"Geräteliste");
    EXPECT_EQ(file->text(10299), u"");
}

TEST(LanguageFileTest, TheLanguageIdIsDecimalOrHexadecimal) {
    const std::vector<std::pair<std::string, std::uint16_t>> cases = {
        {"1033", 1033},   {"0x0409", 1033}, {"0X0409", 1033}, {" 0x0c0a ", 3082},
        {"65535", 65535}, {"0x10000", 0},   {"65536", 0},     {"0", 0},
        {"", 0},          {"0x", 0},        {"1033 ", 1033},  {"10 33", 0},
        {"-1033", 0},     {"1033a", 0},     {"0x04 0x09", 0},
    };
    for (const auto& [field, id] : cases) {
        EXPECT_EQ(LanguageFile::parseLanguageId(field), id) << field;
    }
    // The id 0x04 0x09 is English (United States).
    const auto english = LanguageFile::fromBytes(languageFileText("3C5F", "0x0409", {{1, "x"}}));
    ASSERT_TRUE(english.has_value());
    EXPECT_EQ(english->languageId(), 1033);
}

TEST(LanguageFileTest, FilesWithoutTheRightHeaderOrWithErrorsAreNotLanguageFiles) {
    const std::map<std::uint32_t, std::string> texts = {{10207, "Liste"}};
    const std::vector<std::pair<std::string, std::string>> rejected = {
        {"no signature", languageFileText("", "1031", texts)},
        {"another signature", languageFileText("3C5E", "1031", texts)},
        {"the signature's bytes swapped", languageFileText("5F3C", "1031", texts)},
        {"no language id", languageFileText("3C5F", "", texts)},
        {"language id 0", languageFileText("3C5F", "0", texts)},
        {"language id not a number", languageFileText("3C5F", "German", texts)},
        {"no header", "msgctxt \"10207\"\nmsgid \"List\"\nmsgstr \"Liste\"\n"},
        {"a syntax error", languageFileText("3C5F", "1031", texts) + "msgstr \"dangling\"\n"},
        {"a duplicate entry",
         languageFileText("3C5F", "1031", texts) +
             "\nmsgctxt \"10207\"\nmsgid \"English 10207\"\nmsgstr \"Zweite\"\n"},
        {"invalid UTF-8", languageFileText("3C5F", "1031", {{10207, "Ger\xE4teliste"}})},
        {"another charset",
         "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n"
         "\"X-Contaxio-Signature: 3C5F\\n\"\n\"X-Contaxio-Language-Id: 1031\\n\"\n"},
        {"binary garbage", std::string("\x7F"
                                       "ELF\x02\x01\x01\0\0\0msgid",
                                       15)},
        {"empty", ""},
    };
    for (const auto& [what, bytes] : rejected) {
        EXPECT_FALSE(LanguageFile::fromBytes(bytes).has_value()) << what;
    }
    EXPECT_TRUE(LanguageFile::fromBytes(languageFileText("3C5F", "1031", texts)).has_value());
}

TEST(LanguageFileTest, FoldersAndMissingFilesAreNotLanguageFiles) {
    TempDir dir;
    EXPECT_FALSE(LanguageFile::fromFile(dir.path()).has_value());
    EXPECT_FALSE(LanguageFile::fromFile(dir.file("missing.po")).has_value());
}

// --- The scan -------------------------------------------------------------------------------

TEST(LanguageManagerTest, TheScanTakesTheFirstFileByNameForEachId) {
    TempDir dir;
    // Written in an order that differs from the names' order.
    writeLanguageFile(dir.file("z-english.po"), 1033, {{10207, "Device list"}});
    writeLanguageFile(dir.file("de-second.po"), 1031, {{10207, "Zweite Liste"}});
    writeLanguageFile(dir.file("de-first.po"), 1031, {{10207, "Geräteliste"}});
    writeLanguageFile(dir.file("DE-upper.po"), 1031, {{10207, "Großbuchstaben zuerst"}});
    writeFile(dir.file("aa-unsigned.po"), languageFileText("", "1036", {{10207, "Liste"}}));
    writeLanguageFile(dir.file("french.txt"), 1036, {{10207, "Liste des appareils"}});
    std::filesystem::create_directory(dir.file("folder.po"));

    LanguageManager languages;
    languages.scan({dir.path()});
    EXPECT_EQ(languages.count(), 2);
    EXPECT_EQ(languages.languages(), (Ids{1031, 1033}));
    // Byte order: upper case letters sort before lower case ones.
    EXPECT_EQ(languages.libraryPath(1031), dir.file("DE-upper.po"));
    EXPECT_EQ(languages.libraryPath(1036), std::filesystem::path());

    EXPECT_EQ(languages.text(10207), u"");
    ASSERT_TRUE(languages.load(1031));
    EXPECT_EQ(languages.text(10207), u"Großbuchstaben zuerst");
    EXPECT_FALSE(languages.load(1036));
    languages.unload();
    EXPECT_EQ(languages.text(10207), u"");
}

TEST(LanguageManagerTest, TheFirstFolderWithALanguageIsTheOneUsed) {
    TempDir dir;
    const auto empty = dir.file("empty");
    const auto beside = dir.file("beside");
    const auto installed = dir.file("installed");
    std::filesystem::create_directories(empty);
    std::filesystem::create_directories(beside);
    std::filesystem::create_directories(installed);
    writeFile(empty / "broken.po", "not a language");
    writeLanguageFile(beside / "de.po", 1031, {{1, "beside"}});
    writeLanguageFile(installed / "de.po", 1031, {{1, "installed"}});
    writeLanguageFile(installed / "en.po", 1033, {{1, "installed"}});

    LanguageManager languages;
    languages.scan({dir.file("missing"), empty, beside, installed});
    EXPECT_EQ(languages.languages(), (Ids{1031}));
    languages.scan({empty, installed});
    EXPECT_EQ(languages.languages(), (Ids{1031, 1033}));
    languages.scan({empty});
    EXPECT_EQ(languages.count(), 0);
}

TEST(LanguageManagerTest, AFileChangedAfterTheScanIsNotLoaded) {
    TempDir dir;
    writeLanguageFile(dir.file("de.po"), 1031, {{1, "Eins"}});
    LanguageManager languages;
    languages.scan({dir.path()});
    languages.setLanguage(1031);
    EXPECT_EQ(languages.language(), 1031);
    EXPECT_EQ(languages.text(1), u"");  // setting the language loads nothing

    writeLanguageFile(dir.file("de.po"), 1036, {{1, "Un"}});
    EXPECT_FALSE(languages.load(1031));
    std::filesystem::remove(dir.file("de.po"));
    EXPECT_FALSE(languages.load(1031));
}

// --- Detection ------------------------------------------------------------------------------

class DetectionTest : public ::testing::Test {
protected:
    DetectionTest() {
        for (const std::uint16_t id : std::vector<std::uint16_t>{1031, 1033, 1036, 3082}) {
            writeLanguageFile(dir.file(std::to_string(id) + ".po"), id, {{1, "x"}});
        }
        languages.scan({dir.path()});
        locale.systemDefaultFile = dir.file("default-locale");
    }

    std::uint16_t detect() const { return languages.detectLanguage(locale); }

    TempDir dir;
    LanguageManager languages;
    LocaleSettings locale;
};

TEST_F(DetectionTest, TheFirstLocaleWithALanguageFileWins) {
    EXPECT_EQ(detect(), 0);

    locale.lang = "de_DE.UTF-8";
    EXPECT_EQ(detect(), 1031);
    locale.lcMessages = "es_ES.UTF-8";
    EXPECT_EQ(detect(), 3082);
    locale.lcAll = "fr_FR@euro";
    EXPECT_EQ(detect(), 1036);
    // The user's list of languages comes first; its names without a file are passed over.
    locale.language = "ja_JP:ru:en_US:de";
    EXPECT_EQ(detect(), 1033);
}

TEST_F(DetectionTest, UnknownEmptyAndNeutralLocalesArePassedOver) {
    locale.language = "";
    locale.lcAll = "C";
    locale.lcMessages = "POSIX";
    locale.lang = "C.UTF-8";
    EXPECT_EQ(detect(), 0);
    locale.lang = "de";
    EXPECT_EQ(detect(), 1031);
    locale.lang = "es-ES";
    EXPECT_EQ(detect(), 3082);
}

TEST_F(DetectionTest, IdsMatchExactly) {
    // German as spoken in Austria is not German as spoken in Germany.
    locale.lang = "de_AT.UTF-8";
    EXPECT_EQ(detect(), 0);
    locale.language = "fr_CA:en_GB";
    EXPECT_EQ(detect(), 0);
    locale.language = "fr_CA:en_GB:en";
    EXPECT_EQ(detect(), 1033);
}

TEST_F(DetectionTest, TheSystemDefaultLocaleComesLast) {
    writeFile(locale.systemDefaultFile,
              "#  File generated by update-locale\n"
              "LANG=\"es_ES.UTF-8\"\n"
              "export LC_MESSAGES='fr_FR.UTF-8'\n"
              "LANGUAGE=\n");
    EXPECT_EQ(detect(), 1036);
    locale.lang = "de_AT.UTF-8";  // the user's setting has no file
    EXPECT_EQ(detect(), 1036);
    locale.lang = "de_DE.UTF-8";
    EXPECT_EQ(detect(), 1031);
}

TEST(LanguageIdsTest, LocaleNamesMapToWindowsLanguageIds) {
    const std::vector<std::pair<std::string, std::uint16_t>> cases = {
        {"en_US.UTF-8", 1033},
        {"de_DE", 1031},
        {"fr_FR.ISO-8859-1", 1036},
        {"es_ES@euro", 3082},
        {"ru_RU.KOI8-R", 1049},
        {"pt_BR", 1046},
        {"pt", 2070},
        {"EN_us", 1033},
        {"zh_TW.Big5", 1028},
        {"xx_YY", 0},
        {"", 0},
        {"_DE", 0},
    };
    for (const auto& [name, id] : cases) {
        EXPECT_EQ(language_ids::fromLocaleName(name), id) << name;
    }
    EXPECT_EQ(language_ids::localeName(3082), "es_ES");
    EXPECT_EQ(language_ids::localeName(0x1234), "");
}

// --- Display names --------------------------------------------------------------------------

class FakeLanguageNames : public ILanguageNames {
public:
    std::u16string nativeLanguageName(std::string_view localeName) const override {
        asked.emplace_back(localeName);
        return localeName == "de_DE" ? u"Deutsch" : u"";
    }
    mutable std::vector<std::string> asked;
};

TEST(LanguageManagerTest, DisplayNamesFallBackToTheLocaleNameThenTheId) {
    LanguageManager languages;
    EXPECT_EQ(languages.displayName(1031), u"de_DE");
    FakeLanguageNames names;
    languages.setLanguageNames(&names);
    EXPECT_EQ(languages.displayName(1031), u"Deutsch");
    EXPECT_EQ(languages.displayName(1049), u"ru_RU");
    EXPECT_EQ(languages.displayName(0x1234), u"Locale 0x1234");
    EXPECT_EQ(languages.displayName(0x0C0A), u"es_ES");
    EXPECT_EQ(languages.displayName(0xABC), u"Locale 0x0ABC");
    EXPECT_EQ(names.asked, (std::vector<std::string>{"de_DE", "ru_RU", "es_ES"}));
}

}  // namespace
