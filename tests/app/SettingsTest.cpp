#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FileSizeLimit.h"
#include "LanguageFixtures.h"
#include "TempDir.h"
#include "app/AliasStore.h"
#include "app/CommonSettings.h"
#include "app/IniDocument.h"
#include "app/ProfileFile.h"
#include "app/SettingsLocation.h"
#include "charsets/TextCodec.h"

namespace {

using namespace std::chrono_literals;
using app_test::writeFile;
using test_support::readFileBytes;
using test_support::TempDir;

std::vector<std::string> leftoverTemporaries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

// --- The file's format ----------------------------------------------------------------------

// Texts a user may type or a phone may report, each of which could break a naive INI file.
const std::vector<std::u16string> kHostileTexts = {
    u"Anna\nBob=1",
    u"line\r\nbreak\rand\x0b\x0c more",
    u"[Aliases]",
    u"]closing",
    u"key=value=more",
    u";comment",
    u"#comment",
    u"  leading and trailing blanks  ",
    u" ",
    u"\ttabs\t",
    std::u16string(u"nul\0inside", 10),
    u"back\\slash\\n not an escape \\u0041",
    u"separators \u2028 \u2029 \u0085",
    u"lone \xD800 high and \xDC00 low surrogates, a pair \U0001F600",
    u"Владимир 📱 Ωmega",
    u"",
};

TEST(IniDocumentTest, HostileKeysAndValuesRoundTripWithoutTouchingOtherEntries) {
    IniDocument document;
    document.setValue(u"Common", u"path", u"/home/user/contacts.csv");
    for (std::size_t i = 0; i < kHostileTexts.size(); ++i) {
        // Every hostile text as a key (with a unique suffix) and as a value.
        const std::u16string key =
            kHostileTexts[i] + u"#" + text_codec::fromUtf8(std::to_string(i));
        document.setValue(u"Aliases", key, kHostileTexts[i]);
        document.setValue(u"Aliases", kHostileTexts[i], u"value " + key);
    }
    document.setValue(u"Aliases", u"sentinel", u"untouched");

    const std::string bytes = document.serialize();
    const IniDocument read = IniDocument::parse(bytes);
    for (std::size_t i = 0; i < kHostileTexts.size(); ++i) {
        const std::u16string key =
            kHostileTexts[i] + u"#" + text_codec::fromUtf8(std::to_string(i));
        EXPECT_EQ(read.value(u"Aliases", key), kHostileTexts[i]) << i;
        EXPECT_EQ(read.value(u"Aliases", kHostileTexts[i]), u"value " + key) << i;
    }
    EXPECT_EQ(read.value(u"Aliases", u"sentinel"), u"untouched");
    EXPECT_EQ(read.value(u"Common", u"path"), u"/home/user/contacts.csv");
    // Nothing was injected: "Anna\nBob=1" made no key "Bob".
    EXPECT_EQ(read.value(u"Aliases", u"Bob"), std::nullopt);

    // Two sections and one line per entry: no text added a line or a section of its own.
    std::size_t lines = 0;
    std::size_t headers = 0;
    for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\n', at) + 1) {
        ++lines;
        headers += bytes[at] == '[' ? 1u : 0u;
    }
    EXPECT_EQ(headers, 2u);
    // [Common], path, a blank line, [Aliases], two entries per text, the sentinel.
    EXPECT_EQ(lines, 4 + 2 * kHostileTexts.size() + 1);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
}

TEST(IniDocumentTest, OrdinaryTextsAreWrittenAsTheyAre) {
    IniDocument document;
    document.setValue(u"Aliases", u"356938035643809", u"Anna's phone (work) ✓ = ok; [1]");
    document.setValue(u"Common", u"path", u"/home/anna/My Contacts/contacts.csv");
    EXPECT_EQ(document.serialize(),
              "[Aliases]\n"
              "356938035643809=Anna's phone (work) ✓ = ok; [1]\n"
              "\n"
              "[Common]\n"
              "path=/home/anna/My Contacts/contacts.csv\n");
}

TEST(IniDocumentTest, ReadsHandWrittenFilesAndKeepsWhatItDoesNotChange) {
    const std::string original =
        "\xEF\xBB\xBF; settings of a user\r\n"
        "stray=before any section\r\n"
        "[ common ]\r\n"
        "  PATH  =  /tmp/a b.csv  \r\n"
        "not an entry\r\n"
        "path=second one is ignored\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=C:\\data\\new\r\n"
        "[Common]\r\n"
        "charset=2\r";
    IniDocument document = IniDocument::parse(original);
    EXPECT_EQ(document.value(u"Common", u"path"), u"/tmp/a b.csv");
    EXPECT_EQ(document.value(u"COMMON", u"Path"), u"/tmp/a b.csv");
    // Only the first section of a name counts.
    EXPECT_EQ(document.value(u"Common", u"charset"), std::nullopt);
    // Unknown escapes stay as written; \n is one.
    EXPECT_EQ(document.value(u"other", u"x"), u"C:\\data\new");
    EXPECT_EQ(document.value(u"Common", u"stray"), std::nullopt);

    document.setValue(u"Common", u"path", u"/new");
    document.setValue(u"Common", u"language", u"1031");
    EXPECT_EQ(document.serialize(),
              "; settings of a user\n"
              "stray=before any section\n"
              "[ common ]\n"
              "PATH=/new\n"
              "not an entry\n"
              "path=second one is ignored\n"
              "language=1031\n"
              "\n"
              "[Other]\n"
              "x=C:\\data\\new\n"
              "[Common]\n"
              "charset=2\n");
}

TEST(IniDocumentTest, AnyBytesParseWithoutFailing) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.push_back(static_cast<char>(i));
        bytes += "=[\\u12\\";
    }
    const IniDocument document = IniDocument::parse(bytes);
    EXPECT_EQ(IniDocument::parse(document.serialize()).serialize(), document.serialize());

    // A file saved with a second byte-order mark reads its first section the first time, not
    // only after it has been written again.
    const IniDocument twice = IniDocument::parse("\xEF\xBB\xBF\xEF\xBB\xBF[Common]\r\npath=/a\r\n");
    EXPECT_EQ(twice.value(u"Common", u"path"), u"/a");
    EXPECT_EQ(twice.serialize(), "[Common]\npath=/a\n");
}

// --- The profile rules ----------------------------------------------------------------------

TEST(ProfileFileTest, TextsAreCutTo254UnitsThenTrimmed) {
    TempDir dir;
    const ProfileFile profile(dir.file("settings.ini"));
    EXPECT_EQ(profile.readString(u"Common", u"path", u" default "), u" default ");

    const std::u16string longText = u"  " + std::u16string(300, u'x');
    ASSERT_TRUE(profile.writeString(u"Common", u"path", longText));
    EXPECT_EQ(profile.readString(u"Common", u"path", u""), std::u16string(252, u'x'));
    EXPECT_EQ(profile.readRaw(u"Common", u"path"), longText);

    // A pair of surrogates is not split at the cut.
    std::u16string pairs;
    for (int i = 0; i < 130; ++i) {
        pairs += u"\U0001F600";
    }
    ASSERT_TRUE(profile.writeString(u"Common", u"path", pairs));
    EXPECT_EQ(profile.readString(u"Common", u"path", u""), pairs.substr(0, 254));
    ASSERT_TRUE(profile.writeString(u"Common", u"path", u"x" + pairs));
    EXPECT_EQ(profile.readString(u"Common", u"path", u""), u"x" + pairs.substr(0, 252));

    ASSERT_TRUE(profile.writeString(u"Common", u"path", u"\n\t value \r\n"));
    EXPECT_EQ(profile.readString(u"Common", u"path", u""), u"value");
}

TEST(ProfileFileTest, IntegersAreTheNumberAValueBeginsWith) {
    const std::vector<std::pair<std::u16string, std::int32_t>> cases = {
        {u"1031", 1031},
        {u" 12 ", 12},
        {u"12abc", 12},
        {u"-5", -5},
        {u"+7", 7},
        {u"abc", 0},
        {u"", 0},
        {u"0x10", 0},
        {u"99999999999", std::numeric_limits<std::int32_t>::max()},
        {u"-99999999999", std::numeric_limits<std::int32_t>::min()},
    };
    TempDir dir;
    const ProfileFile profile(dir.file("settings.ini"));
    EXPECT_EQ(profile.readInt(u"Common", u"charset", 42), 42);
    for (const auto& [value, number] : cases) {
        ASSERT_TRUE(profile.writeString(u"Common", u"charset", value));
        EXPECT_EQ(profile.readInt(u"Common", u"charset", 42), number) << text_codec::toUtf8(value);
    }
}

// --- The settings --------------------------------------------------------------------------

TEST(CommonSettingsTest, FirstRunGivesTheDefaultsAndSavingWritesAllFiveKeys) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    const CommonSettings settings = CommonSettings::read(file);
    EXPECT_EQ(settings.path, u"");
    EXPECT_TRUE(settings.showWelcome);
    EXPECT_EQ(settings.language, 0);
    EXPECT_EQ(settings.outputFormat, OutputFormat::GoogleCsv);
    EXPECT_EQ(settings.charset, 1);
    EXPECT_FALSE(std::filesystem::exists(file));

    ASSERT_TRUE(settings.write(file));
    EXPECT_EQ(readFileBytes(file),
              "[Common]\nshowWelcome=1\npath=\noutputFormat=1\ncharset=1\nlanguage=0\n");
}

TEST(CommonSettingsTest, OnlyOneIsAWelcomeFlagThatIsTrue) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    for (const auto& [value, expected] : std::vector<std::pair<std::string, bool>>{{"1", true},
                                                                                   {" 1 ", true},
                                                                                   {"yes", false},
                                                                                   {"true", false},
                                                                                   {"01", false},
                                                                                   {"", false},
                                                                                   {"0", false}}) {
        writeFile(file, "[common]\nSHOWWELCOME=" + value + "\n");
        EXPECT_EQ(CommonSettings::read(file).showWelcome, expected) << value;
    }
}

TEST(CommonSettingsTest, ValuesRoundTripAndTheLanguageIsSixteenBits) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    CommonSettings settings;
    settings.path = u"/home/anna/Документы/contacts [1].csv";
    settings.showWelcome = false;
    settings.language = 3082;
    settings.outputFormat = OutputFormat::OutlookCsv;
    settings.charset = 0;
    ASSERT_TRUE(settings.write(file));
    const CommonSettings read = CommonSettings::read(file);
    EXPECT_EQ(read.path, settings.path);
    EXPECT_FALSE(read.showWelcome);
    EXPECT_EQ(read.language, 3082);
    EXPECT_EQ(read.outputFormat, OutputFormat::OutlookCsv);
    EXPECT_EQ(read.charset, 0);

    writeFile(file, "[Common]\nlanguage=66569\n");  // 0x10409
    EXPECT_EQ(CommonSettings::read(file).language, 1033);
}

// A layout code of no layout would write no file at all: it reads as the Google layout.
TEST(CommonSettingsTest, EveryLayoutCodeIsKeptAndAnyOtherReadsAsGoogle) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    const std::vector<std::pair<std::string, OutputFormat>> cases = {
        {"1", OutputFormat::GoogleCsv},     {"2", OutputFormat::OutlookCsv},
        {"3", OutputFormat::VCard},         {"0", OutputFormat::GoogleCsv},
        {"4", OutputFormat::GoogleCsv},     {"-2", OutputFormat::GoogleCsv},
        {"vcard", OutputFormat::GoogleCsv}, {"99999999999", OutputFormat::GoogleCsv},
    };
    for (const auto& [value, expected] : cases) {
        writeFile(file, "[Common]\noutputFormat=" + value + "\n");
        EXPECT_EQ(CommonSettings::read(file).outputFormat, expected) << value;
    }
    CommonSettings settings;
    settings.outputFormat = OutputFormat::VCard;
    ASSERT_TRUE(settings.write(file));
    EXPECT_NE(readFileBytes(file).find("\noutputFormat=3\n"), std::string::npos);
    EXPECT_EQ(CommonSettings::read(file).outputFormat, OutputFormat::VCard);
}

// --- Aliases --------------------------------------------------------------------------------

TEST(AliasStoreTest, APhoneWithoutAliasIsShownByItsImei) {
    TempDir dir;
    AliasStore store;
    store.setSettingsFile(dir.file("settings.ini"));
    EXPECT_EQ(store.aliasFor(u"356938035643809"), u"356938035643809");
    EXPECT_FALSE(std::filesystem::exists(dir.file("settings.ini")));
}

TEST(AliasStoreTest, AnAliasIsWrittenAtOnceAndFoundByANewStore) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    AliasStore first;
    first.setSettingsFile(file);
    first.setAlias(u"356938035643809", u"Anna");
    first.setAlias(u"", u"ignored");
    first.setAlias(u"490154203237518", u"");

    AliasStore second;
    second.setSettingsFile(file);
    EXPECT_EQ(second.aliasFor(u"356938035643809"), u"Anna");
    // An empty alias is an alias: the empty text, not the IMEI.
    EXPECT_EQ(second.aliasFor(u"490154203237518"), u"");
    EXPECT_EQ(second.aliasFor(u""), u"");
    EXPECT_EQ(readFileBytes(file), "[Aliases]\n356938035643809=Anna\n490154203237518=\n");
}

TEST(AliasStoreTest, TheCacheTellsLetterCaseApartButTheFileDoesNot) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    AliasStore store;
    store.setSettingsFile(file);
    store.setAlias(u"AB12CD", u"Work");

    AliasStore other;
    other.setSettingsFile(file);
    // Found in the file whatever the case...
    EXPECT_EQ(other.aliasFor(u"ab12cd"), u"Work");
    // ...and written over the key as it was spelt.
    other.setAlias(u"ab12cd", u"Home");
    EXPECT_EQ(readFileBytes(file), "[Aliases]\nAB12CD=Home\n");

    // The first store remembers what it set under the exact IMEI, and reads other spellings
    // from the file.
    EXPECT_EQ(store.aliasFor(u"AB12CD"), u"Work");
    EXPECT_EQ(store.aliasFor(u"Ab12cD"), u"Home");
}

TEST(AliasStoreTest, AnAliasEqualToTheImeiIsReadAgainOnEveryLookup) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    AliasStore writer;
    writer.setSettingsFile(file);
    writer.setAlias(u"111", u"111");
    writer.setAlias(u"222", u"Two");

    AliasStore reader;
    reader.setSettingsFile(file);
    EXPECT_EQ(reader.aliasFor(u"111"), u"111");
    EXPECT_EQ(reader.aliasFor(u"222"), u"Two");
    writer.setAlias(u"111", u"One");
    writer.setAlias(u"222", u"Changed");
    EXPECT_EQ(reader.aliasFor(u"111"), u"One");  // not cached: read again
    EXPECT_EQ(reader.aliasFor(u"222"), u"Two");  // cached
}

TEST(AliasStoreTest, HostileImeisAndAliasesLeaveEveryOtherEntryIntact) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    CommonSettings settings;
    settings.path = u"/home/anna/contacts.csv";
    settings.language = 1031;
    ASSERT_TRUE(settings.write(file));

    AliasStore store;
    store.setSettingsFile(file);
    store.setAlias(u"356938035643809", u"Anna");
    store.setAlias(u"=\n[Common]\nlanguage=1049\n", u"x\n[Common]\npath=/etc/passwd");
    store.setAlias(u"123\r\n", u"]; #");

    AliasStore fresh;
    fresh.setSettingsFile(file);
    EXPECT_EQ(fresh.aliasFor(u"=\n[Common]\nlanguage=1049\n"), u"x\n[Common]\npath=/etc/passwd");
    EXPECT_EQ(fresh.aliasFor(u"123\r\n"), u"]; #");
    EXPECT_EQ(fresh.aliasFor(u"123"), u"123");
    EXPECT_EQ(fresh.aliasFor(u"356938035643809"), u"Anna");
    const CommonSettings read = CommonSettings::read(file);
    EXPECT_EQ(read.path, settings.path);
    EXPECT_EQ(read.language, 1031);
}

// --- Writes that fail or are cut short ------------------------------------------------------

TEST(SettingsWriteTest, AFullDiskKeepsThePreviousFileWhole) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    AliasStore store;
    store.setSettingsFile(file);
    store.setAlias(u"356938035643809", u"Anna");
    const std::string before = readFileBytes(file);
    {
        const test_support::FileSizeLimit limit(before.size() + 10);
        store.setAlias(u"490154203237518", std::u16string(4096, u'B'));
        EXPECT_FALSE(CommonSettings{}.write(file));
    }
    EXPECT_EQ(readFileBytes(file), before);
    EXPECT_TRUE(leftoverTemporaries(dir.path()).empty());
}

TEST(SettingsWriteTest, AFileThatCannotBeReadIsNotWrittenOver) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    std::filesystem::create_directory(file);
    writeFile(file / "inside", "kept");
    AliasStore store;
    store.setSettingsFile(file);
    store.setAlias(u"356938035643809", u"Anna");
    EXPECT_FALSE(CommonSettings{}.write(file));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(readFileBytes(file / "inside"), "kept");
    EXPECT_EQ(store.aliasFor(u"490154203237518"), u"490154203237518");
}

TEST(SettingsWriteTest, PermissionsAndSymbolicLinksAreKept) {
    TempDir dir;
    const auto real = dir.file("real.ini");
    const auto link = dir.file("settings.ini");
    writeFile(real, "[Common]\npath=/a\n");
    ::chmod(real.c_str(), 0600);
    std::filesystem::create_symlink("real.ini", link);

    CommonSettings settings;
    settings.path = u"/b";
    ASSERT_TRUE(settings.write(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(CommonSettings::read(real).path, u"/b");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(SettingsWriteTest, AProcessKilledInTheMiddleOfAWriteLeavesThePreviousFile) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    AliasStore store;
    store.setSettingsFile(file);
    store.setAlias(u"356938035643809", u"Anna");
    store.setAlias(u"490154203237518", u"Bob");
    const std::string before = readFileBytes(file);

    // The child may write 4096 bytes to any file: the kernel kills it (SIGXFSZ) in the
    // middle of writing its 64 KiB alias.
    test_support::ChildProcess::Options options;
    options.fileSizeLimit = 4096;
    test_support::ChildProcess child(
        CONTAXIO_SETTINGS_WRITER,
        {file.string(), "358240051111110", "Chris", "--alias-size", "65536"}, options);
    EXPECT_EQ(child.wait(10s), 128 + SIGXFSZ) << child.errors();
    EXPECT_EQ(child.errors().find("written"), std::string::npos);

    // The new file it was writing is left behind, cut short; the settings are as before.
    const std::vector<std::string> left = leftoverTemporaries(dir.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(dir.file(left.front())), 4096u);
    EXPECT_EQ(readFileBytes(file), before);
    AliasStore fresh;
    fresh.setSettingsFile(file);
    EXPECT_EQ(fresh.aliasFor(u"356938035643809"), u"Anna");
    EXPECT_EQ(fresh.aliasFor(u"490154203237518"), u"Bob");
    EXPECT_EQ(fresh.aliasFor(u"358240051111110"), u"358240051111110");

    // Later writes work, and the clean-up takes the remains along.
    fresh.setAlias(u"358240051111110", u"Chris");
    AliasStore later;
    later.setSettingsFile(file);
    EXPECT_EQ(later.aliasFor(u"358240051111110"), u"Chris");
    settings_location::uninstall(file, std::nullopt);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(SettingsWriteTest, AnAliasSurvivesAProcessKilledRightAfterSettingIt) {
    TempDir dir;
    const auto file = dir.file("settings.ini");
    test_support::ChildProcess child(CONTAXIO_SETTINGS_WRITER,
                                     {file.string(), "356938035643809", "Anna's phone"});
    ASSERT_TRUE(child.waitForError("written", 10s)) << child.errors();
    child.signal(SIGKILL);
    EXPECT_EQ(child.wait(10s), 128 + SIGKILL);

    AliasStore store;
    store.setSettingsFile(file);
    EXPECT_EQ(store.aliasFor(u"356938035643809"), u"Anna's phone");
    EXPECT_TRUE(leftoverTemporaries(dir.path()).empty());
}

// --- Where the file is ----------------------------------------------------------------------

TEST(SettingsLocationTest, TheFolderIsMadeWithItsParentsElseTheRelativeNameIsUsed) {
    TempDir dir;
    const auto config = dir.file("home") / ".config";
    EXPECT_EQ(settings_location::prepare(config),
              config / "Korvanta" / "Contaxio" / "settings.ini");
    EXPECT_TRUE(std::filesystem::is_directory(config / "Korvanta" / "Contaxio"));
    // Again, with everything in place.
    EXPECT_EQ(settings_location::prepare(config),
              config / "Korvanta" / "Contaxio" / "settings.ini");

    const auto blocked = dir.file("blocked");
    std::filesystem::create_directory(blocked);
    writeFile(blocked / "Korvanta", "a file where the folder should be");
    EXPECT_EQ(settings_location::prepare(blocked), std::filesystem::path("settings.ini"));
    EXPECT_EQ(settings_location::prepare(std::nullopt), std::filesystem::path("settings.ini"));
}

TEST(SettingsLocationTest, TheConfigurationFolderFollowsXdgConfigHome) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg != nullptr ? savedXdg : "";
    const std::string home = savedHome != nullptr ? savedHome : "";

    ::setenv("HOME", "/home/anna", 1);
    ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(settings_location::configHome(), std::filesystem::path("/srv/config"));
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // invalid, ignored
    EXPECT_EQ(settings_location::configHome(), std::filesystem::path("/home/anna/.config"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settings_location::configHome(), std::filesystem::path("/home/anna/.config"));

    if (savedXdg != nullptr) {
        ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    }
    if (savedHome != nullptr) {
        ::setenv("HOME", home.c_str(), 1);
    } else {
        ::unsetenv("HOME");
    }
}

TEST(SettingsLocationTest, UninstallRemovesTheFileAndOnlyEmptyFoldersOfTheProgram) {
    TempDir dir;
    const auto config = dir.path();
    const auto file = settings_location::prepare(config);
    writeFile(file, "[Common]\n");
    settings_location::uninstall(file, config);
    EXPECT_FALSE(std::filesystem::exists(config / "Korvanta"));
    EXPECT_TRUE(std::filesystem::is_directory(config));

    const auto again = settings_location::prepare(config);
    writeFile(again, "[Common]\n");
    writeFile(config / "Korvanta" / "other-program.ini", "kept");
    settings_location::uninstall(again, config);
    EXPECT_FALSE(std::filesystem::exists(config / "Korvanta" / "Contaxio"));
    EXPECT_EQ(readFileBytes(config / "Korvanta" / "other-program.ini"), "kept");
}

}  // namespace
