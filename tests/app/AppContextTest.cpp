#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "AppTestHost.h"
#include "ExpectedExport.h"
#include "LanguageFixtures.h"
#include "RecordingFront.h"
#include "StatisticsComparison.h"
#include "TempDir.h"
#include "app/AppContext.h"
#include "app/IHelpViewer.h"
#include "app/LanguageManager.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/SerialPortException.h"

namespace {

using namespace std::chrono_literals;
using app_test::Message;
using app_test::RecordingMessageBox;
using app_test::writeFile;
using app_test::writeLanguageFile;
using Messages = std::vector<Message>;

// --- Help -----------------------------------------------------------------------------------

class FakeHelpViewer : public IHelpViewer {
public:
    bool openHelpPage(const std::filesystem::path& page, const std::string& anchor) override {
        opened.emplace_back(page, anchor);
        return works;
    }
    bool works = true;
    std::vector<std::pair<std::filesystem::path, std::string>> opened;
};

class HelpTest : public ::testing::Test {
protected:
    HelpTest() {
        for (const char* page :
             {"completion.html", "contacts-source.html", "phone-not-usable.html",
              "device-list.html", "exporting.html", "output-path.html", "welcome.html"}) {
            std::filesystem::create_directories(dir.file("help") / "en");
            writeFile(dir.file("help") / "en" / page, "<html></html>");
        }
        useHelpFolderName(" en ");
        app.setHelpViewer(&viewer);
    }

    // A language whose text 10278 is the name given.
    void useHelpFolderName(const std::string& name) {
        std::filesystem::create_directories(dir.file("lng"));
        writeLanguageFile(dir.file("lng") / "en.po", 1033,
                          {{10278, name}, {10280, "No help"}, {10281, "Error"}});
        languages.scan({dir.file("lng")});
        ASSERT_TRUE(languages.load(1033));
    }

    std::filesystem::path page(const std::string& name) const {
        return dir.file("help") / "en" / name;
    }

    static AppEnvironment environmentIn(const test_support::TempDir& dir) {
        AppEnvironment environment;
        environment.helpFolder = dir.file("help");
        return environment;
    }

    test_support::TempDir dir;
    LanguageManager languages;
    AppContext app{environmentIn(dir), &languages};
    FakeHelpViewer viewer;
    RecordingMessageBox owner;
};

TEST_F(HelpTest, EachTopicOpensItsPageAndAnchor) {
    for (std::int32_t topic = 0; topic <= 8; ++topic) {
        app.showHelp(topic, owner);
    }
    EXPECT_TRUE(owner.messages.empty());
    const std::vector<std::pair<std::filesystem::path, std::string>> expected = {
        {page("completion.html"), ""},
        {page("contacts-source.html"), ""},
        {page("phone-not-usable.html"), "no-driver"},
        {page("phone-not-usable.html"), "other-usb-mode"},
        {page("phone-not-usable.html"), "not-supported"},
        {page("device-list.html"), ""},
        {page("exporting.html"), ""},
        {page("output-path.html"), ""},
        {page("welcome.html"), ""},
    };
    EXPECT_EQ(viewer.opened, expected);
}

TEST_F(HelpTest, WhatCannotBeShownGivesTheMessage) {
    const Messages noHelp{{u"Error", u"No help"}};
    app.showHelp(26, owner);  // past the last topic
    app.showHelp(-1, owner);
    EXPECT_EQ(owner.messages, (Messages{noHelp[0], noHelp[0]}));
    EXPECT_TRUE(viewer.opened.empty());

    owner.messages.clear();
    std::filesystem::remove(page("exporting.html"));
    app.showHelp(6, owner);
    EXPECT_EQ(owner.messages, noHelp);

    owner.messages.clear();
    viewer.works = false;
    app.showHelp(8, owner);
    EXPECT_EQ(owner.messages, noHelp);
    EXPECT_EQ(viewer.opened.size(), 1u);

    owner.messages.clear();
    app.setHelpViewer(nullptr);
    app.showHelp(8, owner);
    EXPECT_EQ(owner.messages, noHelp);
}

TEST_F(HelpTest, TheHelpFolderNameMustNameAFolder) {
    for (const std::string name : {"   ", "fr", "en/welcome.html"}) {
        owner.messages.clear();
        useHelpFolderName(name);
        app.showHelp(8, owner);
        EXPECT_EQ(owner.messages, (Messages{{u"Error", u"No help"}})) << name;
    }
    EXPECT_TRUE(viewer.opened.empty());

    // A name is a folder inside the help folder, even with a leading slash.
    owner.messages.clear();
    useHelpFolderName("/en");
    app.showHelp(8, owner);
    EXPECT_TRUE(owner.messages.empty());
    ASSERT_EQ(viewer.opened.size(), 1u);
    EXPECT_EQ(viewer.opened.front().first, page("welcome.html"));
}

// --- The export through the application object ----------------------------------------------

TEST(AppContextTest, WithoutAPhoneTheOperationsDoNothing) {
    test_support::TempDir dir;
    LanguageManager languages;
    AppContext app(AppEnvironment{}, &languages);
    session_test::RecordingFront front(app.exportSession());
    app.setSimSelected(true);
    EXPECT_FALSE(app.startExport(front, front.poster()));
    app.pauseExport();
    app.resumeExport();
    app.stopExport(StopKind::ByUser);
    app.closePhonePort();
    app.releaseDevice();
    EXPECT_TRUE(app.noStorageRemaining());
    EXPECT_FALSE(app.takeExportStarted());
    EXPECT_EQ(app.exportStatistics(StorageKind::Sim), ExportStatistics{});
    EXPECT_EQ(app.charsetName(), u"UCS2");
    EXPECT_EQ(app.text(10281), u"");
}

TEST(AppContextTest, ExportsTheChosenStorageWithTheChosenSettings) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("standard-ucs2"));
    const std::u16string port = text_codec::fromUtf8(phone.portPath());
    test_support::TempDir dir;
    LanguageManager languages;
    AppContext app(AppEnvironment{}, &languages);

    app.selectDevice(port, u"Korvanta Z1", false);
    EXPECT_EQ(app.deviceName(), u"Korvanta Z1");
    EXPECT_TRUE(app.needsPhoneQuery());
    EXPECT_TRUE(app.isCurrentDevice(text_codec::fromUtf8(phone.portPath())));
    EXPECT_FALSE(app.isCurrentDevice(u"/dev/ttyACM9"));

    const std::filesystem::path file = dir.file("contacts.csv");
    app.setSimSelected(true);
    app.setOutputPath(text_codec::fromUtf8(file.string()));
    app.setCharsetName(u"UCS2");
    app.setOutputFormatAndCharset(OutputFormat::OutlookCsv, output_charset::Utf8);
    session_test::RecordingFront front(app.exportSession());
    EXPECT_TRUE(app.startExport(front, front.poster()));
    EXPECT_TRUE(app.takeExportStarted());
    EXPECT_FALSE(app.takeExportStarted());
    EXPECT_FALSE(app.noStorageRemaining());
    ASSERT_TRUE(front.runUntilEnded());
    EXPECT_EQ(front.events,
              (std::vector<std::string>{"started SM 100", "finished SM completed", "ended"}));
    EXPECT_TRUE(app.noStorageRemaining());
    EXPECT_EQ(app.exportSession().finishFile(nullptr), FileState::Saved);

    const auto contacts = export_test::expectedContacts(phone.scenario(), "SM", false);
    EXPECT_EQ(test_support::readFileBytes(file),
              export_test::expectedFile("standard-ucs2", contacts, OutputFormat::OutlookCsv,
                                        output_charset::Utf8));
    EXPECT_EQ(app.exportStatistics(StorageKind::Sim).result, ExportResult::Completed);
    EXPECT_EQ(app.exportStatistics(StorageKind::Memory), ExportStatistics{});
    const std::vector<std::string> commands = phone.transcript();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CPBS=\"ME\""), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CSCS=\"UCS2\""), 1);

    // A port that cannot be opened keeps the phone selected before.
    EXPECT_THROW(app.selectDevice(u"/nonexistent/port", u"Gone", false),
                 serial_comm::SerialPortException);
    EXPECT_TRUE(app.hasPhoneManager());
    EXPECT_EQ(app.exportStatistics(StorageKind::Sim).result, ExportResult::Completed);

    app.releaseDevice();
    EXPECT_FALSE(app.hasPhoneManager());
    EXPECT_FALSE(app.isCurrentDevice(port));
}

}  // namespace

// An export that ended is kept when the phone is released without finishing it first, and a
// file that was there is only replaced by one holding contacts.
TEST(AppContextTest, ReleasingThePhoneKeepsAnExportThatWasNotFinished) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("standard-ucs2"));
    test_support::TempDir dir;
    LanguageManager languages;
    AppContext app(AppEnvironment{}, &languages);
    const std::filesystem::path file = dir.file("contacts.csv");
    test_support::writeFileBytes(file, "old contents");

    app.selectDevice(text_codec::fromUtf8(phone.portPath()), u"Korvanta Z1", false);
    app.setSimSelected(true);
    app.setOutputPath(text_codec::fromUtf8(file.string()));
    app.setOutputFormatAndCharset(OutputFormat::GoogleCsv, output_charset::Ucs2);
    session_test::RecordingFront front(app.exportSession());
    app.startExport(front, front.poster());
    ASSERT_TRUE(front.runUntilEnded());
    EXPECT_EQ(test_support::readFileBytes(file), "old contents");

    app.releaseDevice();
    const auto contacts = export_test::expectedContacts(phone.scenario(), "SM", false);
    EXPECT_EQ(test_support::readFileBytes(file),
              export_test::expectedFile("standard-ucs2", contacts, OutputFormat::GoogleCsv,
                                        output_charset::Ucs2));
    EXPECT_EQ(app.exportSession().outcome().file, FileState::Saved);
}
