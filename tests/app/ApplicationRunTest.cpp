#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "AppTestHost.h"
#include "LanguageFixtures.h"
#include "TempDir.h"
#include "app/AppContext.h"
#include "app/ApplicationRun.h"
#include "app/CommonSettings.h"
#include "app/LanguageManager.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"

namespace {

using app_test::FakeHost;
using app_test::Message;
using app_test::writeFile;
using app_test::writeLanguageFile;
using test_support::readFileBytes;
using Claim = IAppHost::InstanceClaim;
using Messages = std::vector<Message>;

const Message kCriticalError{u"Critical Error",
                             u"Contaxio could not to load application components.\n"
                             u"Application will close. Reinstall application can fix the problem."};

// A program folder with its languages, a configuration folder and a user without locale
// settings; the run is started with the words given.
class RunTest : public ::testing::Test {
protected:
    RunTest() {
        std::filesystem::create_directories(languageFolder);
        environment.languageFolders = {dir.file("missing-lng"), languageFolder};
        environment.helpFolder = dir.file("help");
        environment.configHome = dir.file("config");
        environment.locale.systemDefaultFile = dir.file("no-default-locale");
    }

    void addEnglish() {
        writeLanguageFile(languageFolder / "en.po", 1033,
                          {{10281, "Error"}, {10286, "Contaxio is starting already."}});
    }
    void addGerman() {
        writeLanguageFile(languageFolder / "de.po", 1031,
                          {{10281, "Fehler"}, {10286, "Contaxio startet bereits."}});
    }

    RunOutcome run(const std::vector<std::string>& words = {}) {
        AppContext app(environment, &languages);
        return runApplication(app, host, words);
    }

    std::filesystem::path settingsFolder() const {
        return dir.file("config") / "Korvanta" / "Contaxio";
    }
    std::filesystem::path settingsFile() const { return settingsFolder() / "settings.ini"; }
    void writeSettings(const std::string& common) {
        std::filesystem::create_directories(settingsFolder());
        writeFile(settingsFile(), "[Common]\n" + common);
    }

    test_support::TempDir dir;
    const std::filesystem::path languageFolder = dir.file("program") / "lng";
    AppEnvironment environment;
    LanguageManager languages;
    FakeHost host;
};

TEST_F(RunTest, WithoutAnyLanguageTheCriticalErrorEndsTheRun) {
    writeFile(languageFolder / "en.po", "not a language file");
    EXPECT_EQ(run(), RunOutcome::NoLanguages);
    EXPECT_EQ(host.messages, Messages{kCriticalError});
    EXPECT_EQ(host.claims + host.wizardRuns, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("config")));
}

TEST_F(RunTest, AFirstRunCreatesTheSettingsWithAllFiveKeysAtTheEnd) {
    addEnglish();
    addGerman();
    host.wizard = [this](AppContext& app) {
        EXPECT_FALSE(std::filesystem::exists(settingsFile()));
        EXPECT_TRUE(app.showWelcome());
        EXPECT_EQ(app.outputPath(), u"");
        EXPECT_EQ(app.outputFormatAndCharset(), std::make_pair(OutputFormat::GoogleCsv, 1));
        EXPECT_EQ(app.language(), 1033);
        EXPECT_EQ(app.text(10281), u"Error");
    };
    EXPECT_EQ(run(), RunOutcome::WizardClosed);
    EXPECT_EQ(host.wizardRuns, 1);
    EXPECT_EQ(host.claims, 1);
    EXPECT_EQ(host.releases, 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(readFileBytes(settingsFile()),
              "[Common]\nshowWelcome=1\npath=\noutputFormat=1\ncharset=1\nlanguage=1033\n");
}

TEST_F(RunTest, WhatTheWizardChangedIsSavedAlsoWhenItWasCancelled) {
    addEnglish();
    addGerman();
    writeSettings("path=/home/anna/old.csv\nlanguage=1033\n");
    host.wizard = [](AppContext& app) {
        app.setShowWelcome(false);
        app.setOutputPath(u"/home/anna/new.csv");
        app.setOutputFormatAndCharset(OutputFormat::OutlookCsv, 0);
        app.setLanguage(1031);
        app.aliases().setAlias(u"356938035643809", u"Anna");
        // ...and the user cancels: the wizard just ends.
    };
    EXPECT_EQ(run(), RunOutcome::WizardClosed);
    const CommonSettings saved = CommonSettings::read(settingsFile());
    EXPECT_FALSE(saved.showWelcome);
    EXPECT_EQ(saved.path, u"/home/anna/new.csv");
    EXPECT_EQ(saved.outputFormat, OutputFormat::OutlookCsv);
    EXPECT_EQ(saved.charset, 0);
    EXPECT_EQ(saved.language, 1031);
    AliasStore aliases;
    aliases.setSettingsFile(settingsFile());
    EXPECT_EQ(aliases.aliasFor(u"356938035643809"), u"Anna");
}

TEST_F(RunTest, AWizardEndedByAnExceptionStillSavesAndReleases) {
    addEnglish();
    host.wizard = [](AppContext& app) {
        app.setOutputPath(u"/tmp/x.csv");
        throw std::runtime_error("the wizard failed");
    };
    EXPECT_THROW(run(), std::runtime_error);
    EXPECT_EQ(CommonSettings::read(settingsFile()).path, u"/tmp/x.csv");
    EXPECT_EQ(host.releases, 1);
}

TEST_F(RunTest, ASavedLanguageWhoseFileIsGoneDoesNotFallBack) {
    addEnglish();
    addGerman();
    writeSettings("language=1036\n");
    const std::string before = readFileBytes(settingsFile());
    EXPECT_EQ(run(), RunOutcome::LanguageNotLoaded);
    EXPECT_EQ(host.messages, Messages{kCriticalError});
    EXPECT_EQ(host.claims + host.wizardRuns, 0);
    EXPECT_EQ(readFileBytes(settingsFile()), before);
}

TEST_F(RunTest, ASavedLanguageComesBeforeTheUsersLocale) {
    addEnglish();
    addGerman();
    writeSettings("language=1031\n");
    environment.locale.lang = "en_US.UTF-8";
    host.wizard = [](AppContext& app) { EXPECT_EQ(app.text(10281), u"Fehler"); };
    EXPECT_EQ(run(), RunOutcome::WizardClosed);
    EXPECT_EQ(host.wizardRuns, 1);
}

TEST_F(RunTest, WithoutASavedLanguageTheUsersLocaleChooses) {
    addEnglish();
    addGerman();
    environment.locale.language = "fr_FR:de_DE";
    EXPECT_EQ(run(), RunOutcome::WizardClosed);
    EXPECT_EQ(CommonSettings::read(settingsFile()).language, 1031);
}

TEST_F(RunTest, WithoutAMatchEnglishIsTried) {
    addEnglish();
    addGerman();
    environment.locale.lang = "ja_JP.UTF-8";
    EXPECT_EQ(run(), RunOutcome::WizardClosed);
    EXPECT_EQ(CommonSettings::read(settingsFile()).language, 1033);
}

TEST_F(RunTest, WithoutAMatchAndWithoutEnglishTheCriticalErrorEndsTheRun) {
    addGerman();
    environment.locale.lang = "ja_JP.UTF-8";
    EXPECT_EQ(run(), RunOutcome::LanguageNotLoaded);
    EXPECT_EQ(host.messages, Messages{kCriticalError});
    EXPECT_EQ(host.wizardRuns, 0);
}

TEST_F(RunTest, UninstallRemovesTheSettingsAndShowsNothing) {
    addEnglish();
    writeSettings("language=1033\n");
    EXPECT_EQ(run({"--verbose", "-uninstall", "other"}), RunOutcome::Uninstalled);
    EXPECT_EQ(host.claims + host.wizardRuns + static_cast<int>(host.messages.size()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("config") / "Korvanta"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("config")));
}

TEST_F(RunTest, OnlyTheExactUninstallWordUninstalls) {
    addEnglish();
    for (const std::string word : {"-Uninstall", "/uninstall", "--uninstall", "-uninstall=yes",
                                   " -uninstall", "uninstall"}) {
        EXPECT_EQ(run({word}), RunOutcome::WizardClosed) << word;
        EXPECT_TRUE(std::filesystem::exists(settingsFile())) << word;
    }
    EXPECT_EQ(host.wizardRuns, 6);
}

TEST_F(RunTest, AnotherInstanceIsBroughtForwardSilently) {
    addEnglish();
    host.claim = Claim::BroughtForward;
    EXPECT_EQ(run(), RunOutcome::OtherInstance);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.wizardRuns + host.releases, 0);
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
}

TEST_F(RunTest, AnotherInstanceThatCannotBeReachedIsReportedInTheUsersLanguage) {
    addEnglish();
    addGerman();
    environment.locale.lang = "de_DE.UTF-8";
    host.claim = Claim::OtherUnreachable;
    EXPECT_EQ(run(), RunOutcome::OtherInstance);
    EXPECT_EQ(host.messages, (Messages{{u"Fehler", u"Contaxio startet bereits."}}));
    EXPECT_EQ(host.wizardRuns + host.releases, 0);
}

// The descriptors of this process open on a path.
int openDescriptors(const std::string& path) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        if (std::filesystem::read_symlink(entry.path(), ignored) == path) {
            ++count;
        }
    }
    return count;
}

TEST_F(RunTest, EveryPortIsClosedWhenTheWizardHasEnded) {
    addEnglish();
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("standard-ucs2"));
    // What the simulator itself holds open.
    const int before = openDescriptors(phone.portPath());
    host.wizard = [&phone, before](AppContext& app) {
        app.selectDevice(text_codec::fromUtf8(phone.portPath()), u"Z1", false);
        EXPECT_EQ(openDescriptors(phone.portPath()), before + 1);
    };
    AppContext app(environment, &languages);
    EXPECT_EQ(runApplication(app, host, {}), RunOutcome::WizardClosed);
    // The phone manager is still there, its port closed.
    EXPECT_TRUE(app.hasPhoneManager());
    EXPECT_EQ(openDescriptors(phone.portPath()), before);
}

}  // namespace
