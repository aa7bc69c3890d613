// The contaxio program as a whole: its command line, the demo's phone, and one instance per
// user session with two real processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"
#include "devices/DeviceManager.h"
#include "devices/ZuvoDeviceFilter.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "ui/DemoPhone.h"
#include "ui/WizardCommandLine.h"

using namespace std::chrono_literals;
using test_support::ChildProcess;

namespace {

constexpr auto kWait = 30s;

TEST(WizardCommandLine, KnownWordsAreTakenAndAnythingElseIsAMistake) {
    struct Case {
        std::vector<std::string> words;
        bool demo;
        bool help;
        std::string error;
        std::string trace = "";
    };
    const Case cases[] = {
        {{}, false, false, ""},
        {{"--demo"}, true, false, ""},
        {{"-uninstall"}, false, false, ""},
        {{"--demo", "-uninstall"}, true, false, ""},
        {{"--help"}, false, true, ""},
        {{"-h"}, false, true, ""},
        {{"--demo", "--verbose"}, true, false, "unknown option \"--verbose\""},
        {{"-Uninstall"}, false, false, "unknown option \"-Uninstall\""},
        {{"/uninstall"}, false, false, "unexpected \"/uninstall\""},
        {{"phone.csv"}, false, false, "unexpected \"phone.csv\""},
        {{"-"}, false, false, "unknown option \"-\""},
        {{"--trace", "t.txt", "--demo"}, true, false, "", "t.txt"},
        {{"--trace=-t.txt"}, false, false, "", "-t.txt"},
        {{"--trace", "--demo"}, false, false, "--trace needs a file"},
        {{"--trace="}, false, false, "--trace needs a file"},
        {{"--trace=a", "--trace=b"}, false, false, "--trace is given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        const WizardCommandLine line = WizardCommandLine::parse(c.words);
        EXPECT_EQ(line.error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(line.demo, c.demo);
            EXPECT_EQ(line.help, c.help);
            EXPECT_EQ(line.trace, c.trace);
        }
    }
}

TEST(DemoPhone, ListsTheDemoPhoneUntilItGoes) {
    std::filesystem::path root;
    {
        DemoPhone demo;
        root = demo.roots().sysfs;
        DeviceManager devices(std::make_unique<device_filter::ZuvoDeviceFilter>(), demo.roots());
        ASSERT_TRUE(devices.enumerate(nullptr));
        ASSERT_TRUE(devices.waitForQueued(kWait));
        const std::vector<DEVICE_INFO_EX> found = devices.snapshot();
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].model, u"Z3");
        EXPECT_EQ(found[0].imei, u"351234567890123");
        EXPECT_EQ(found[0].state, DeviceState::ExtendedPhonebook);
        EXPECT_TRUE(std::filesystem::exists(root));
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

// The program in a session of its own: a private runtime folder (for the instance socket), a
// configuration folder, a temporary folder (where --demo puts its device tree), English, Qt's
// offscreen platform or no display at all, and an empty device tree.
class ProgramTest : public ::testing::Test {
protected:
    enum class Screen { Offscreen, None };

    ProgramTest() {
        std::ofstream(suppressions()) << "leak:libgettextpo_lex_start\n"
                                         "leak:libgettextpo_po_gram_lex\n";
        std::filesystem::create_directory(runtime());
        std::filesystem::permissions(runtime(), std::filesystem::perms::owner_all);
        std::filesystem::create_directory(temporary());
    }

    std::filesystem::path runtime() const { return dir.file("runtime"); }
    std::filesystem::path suppressions() const { return dir.file("leaks.supp"); }
    std::filesystem::path temporary() const { return dir.file("tmp"); }
    bool temporaryIsEmpty() const { return std::filesystem::is_empty(temporary()); }
    std::filesystem::path settingsFile() const {
        return dir.file("config") / "Korvanta" / "Contaxio" / "settings.ini";
    }

    // Runs command (a program and its arguments) in the session, with the extra environment
    // ("NAME=value") on top.
    ChildProcess run(const std::vector<std::string>& command, Screen screen,
                     const std::vector<std::string>& extra = {},
                     const ChildProcess::Options& options = {}) const {
        std::vector<std::string> arguments;
        if (screen == Screen::None) {
            arguments = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
        } else {
            arguments = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=offscreen"};
        }
        // In a sanitizer build, the program's leak check knows the PO library's own leaks (see
        // tests/app/SanitizerOptions.cpp); the suppressions need full stacks.
        const char* asan = std::getenv("ASAN_OPTIONS");
        arguments.insert(
            arguments.end(),
            {
                std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") +
                    ":fast_unwind_on_malloc=0",
                "LSAN_OPTIONS=print_suppressions=0:suppressions=" + suppressions().string(),
                "XDG_RUNTIME_DIR=" + runtime().string(),
                "XDG_CONFIG_HOME=" + dir.file("config").string(),
                "CONTAXIO_SYSFS_ROOT=" + tree.sysfsRoot().string(),
                "CONTAXIO_DEV_ROOT=" + tree.devRoot().string(),
                "TMPDIR=" + temporary().string(),
                "LANGUAGE=en_US",
                "CONTAXIO_TRACE=1",
            });
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.insert(arguments.end(), command.begin(), command.end());
        return ChildProcess("/usr/bin/env", arguments, options);
    }

    // The wizard program with these words.
    ChildProcess start(const std::vector<std::string>& words,
                       Screen screen = Screen::Offscreen) const {
        std::vector<std::string> command{CONTAXIO_PROGRAM};
        command.insert(command.end(), words.begin(), words.end());
        return run(command, screen);
    }

    test_support::TempDir dir;
    phonesim::SimulatedDeviceTree tree;
};

TEST_F(ProgramTest, ASecondStartBringsTheFirstToTheFrontAndEndsSilently) {
    ChildProcess first = start({});
    ASSERT_TRUE(first.waitForError("contaxio: first page shown\n", kWait)) << first.errors();

    ChildProcess second = start({});
    EXPECT_EQ(second.wait(kWait), 0);
    EXPECT_EQ(second.errors(), "");
    EXPECT_EQ(second.output(), "");
    EXPECT_TRUE(first.waitForError("contaxio: brought to the front\n", kWait)) << first.errors();

    ChildProcess third = start({"--demo"});
    EXPECT_EQ(third.wait(kWait), 0);
    EXPECT_TRUE(first.waitForError("contaxio: brought to the front\n", kWait, 2)) << first.errors();

    first.signal(SIGTERM);
    EXPECT_EQ(first.wait(kWait), 128 + SIGTERM);
}

TEST_F(ProgramTest, UninstallRemovesTheSettingsWithoutAWindow) {
    std::filesystem::create_directories(settingsFile().parent_path());
    { std::ofstream(settingsFile()) << "[Common]\nshowWelcome=0\n"; }
    ChildProcess uninstall = start({"-uninstall"});
    EXPECT_EQ(uninstall.wait(kWait), 0);
    EXPECT_EQ(uninstall.errors().find("first page shown"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("config") / "Korvanta"));
}

TEST_F(ProgramTest, AWrongCommandLineGetsTheUsageAndStatusTwo) {
    ChildProcess wrong = start({"--verbose"});
    EXPECT_EQ(wrong.wait(kWait), 2);
    EXPECT_EQ(wrong.errors().rfind("contaxio: unknown option \"--verbose\"\nUsage: contaxio", 0),
              0u)
        << wrong.errors();

    ChildProcess help = start({"--help"});
    EXPECT_EQ(help.wait(kWait), 0);
    EXPECT_EQ(help.output(), WizardCommandLine::usage());
}

// The trace of the phones the wizard talks to, in the format of contaxio-cli --trace.
TEST_F(ProgramTest, TheTraceHoldsWhatTheWizardExchangedWithThePhones) {
    std::filesystem::create_directories(settingsFile().parent_path());
    { std::ofstream(settingsFile()) << "[Common]\nshowWelcome=0\n"; }
    const std::filesystem::path trace = dir.file("trace.txt");
    ChildProcess wizard = start({"--demo", "--trace", trace.string()});
    ASSERT_TRUE(wizard.waitForError("contaxio: first page shown\n", kWait)) << wizard.errors();
    // The device list probes the demo phone, which names its model.
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (test_support::readFileBytes(trace).find(" > AT+CGMM\\r\\n\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    wizard.signal(SIGTERM);
    EXPECT_EQ(wizard.wait(kWait), 128 + SIGTERM) << wizard.errors();
    const std::string text = test_support::readFileBytes(trace);
    EXPECT_TRUE(text.starts_with("# contaxio " + std::string(CONTAXIO_VERSION) +
                                 " byte trace of the phones found, begun "))
        << text;
    EXPECT_NE(text.find(" > AT+CGMM\\r\\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" < "), std::string::npos) << text;

    ChildProcess refused = start({"--trace", dir.file("missing").string() + "/trace.txt"});
    EXPECT_EQ(refused.wait(kWait), 1);
    EXPECT_EQ(refused.errors().rfind("contaxio: cannot write the byte trace to ", 0), 0u)
        << refused.errors();
}

// Ctrl-C, SIGTERM, or the terminal going away: the wizard ends as when it is closed (the
// settings saved, the demo's device tree removed), and the status tells the signal.
class ProgramSignalTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramSignalTest, ASignalEndsTheWizardInOrder) {
    const int number = GetParam();
    ChildProcess wizard = start({"--demo"});
    ASSERT_TRUE(wizard.waitForError("contaxio: first page shown\n", kWait)) << wizard.errors();
    EXPECT_FALSE(temporaryIsEmpty());                       // the demo's device tree
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));  // written at the end only

    wizard.signal(number);
    EXPECT_EQ(wizard.wait(kWait), 128 + number) << wizard.errors();
    EXPECT_TRUE(temporaryIsEmpty());
    std::ifstream settings(settingsFile());
    const std::string saved((std::istreambuf_iterator<char>(settings)),
                            std::istreambuf_iterator<char>());
    EXPECT_EQ(saved.rfind("[Common]\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("showWelcome=1\n"), std::string::npos) << saved;
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramSignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& signal) {
                             return std::string(sigabbrev_np(signal.param));
                         });

TEST_F(ProgramTest, WithoutADisplayOnlyUninstallRuns) {
    std::filesystem::create_directories(settingsFile().parent_path());
    { std::ofstream(settingsFile()) << "[Common]\nshowWelcome=0\n"; }

    ChildProcess wizard = start({"--demo"}, Screen::None);
    EXPECT_EQ(wizard.wait(kWait), 1);
    EXPECT_NE(wizard.errors().find("contaxio: no display to show the wizard on"), std::string::npos)
        << wizard.errors();
    EXPECT_TRUE(temporaryIsEmpty());
    EXPECT_TRUE(std::filesystem::exists(settingsFile()));

    ChildProcess wrong = start({"--verbose"}, Screen::None);
    EXPECT_EQ(wrong.wait(kWait), 2);

    ChildProcess uninstall = start({"-uninstall"}, Screen::None);
    EXPECT_EQ(uninstall.wait(kWait), 0) << uninstall.errors();
    EXPECT_FALSE(std::filesystem::exists(dir.file("config") / "Korvanta"));
}

TEST_F(ProgramTest, WithoutAScreenTheCriticalErrorGoesToStandardError) {
    // A saved language that is not there: the critical error, and the end of the run.
    std::filesystem::create_directories(settingsFile().parent_path());
    { std::ofstream(settingsFile()) << "[Common]\nlanguage=9999\n"; }
    ChildProcess wizard = start({"--demo"});
    EXPECT_EQ(wizard.wait(kWait), 0);
    EXPECT_NE(wizard.errors().find("contaxio: Critical Error: Contaxio could not to load "
                                   "application components. Application will close."),
              std::string::npos)
        << wizard.errors();
    EXPECT_EQ(wizard.errors().find("first page shown"), std::string::npos);
    EXPECT_TRUE(temporaryIsEmpty());
}

// scripts/demo.sh, the README's first command, with the programs of this build: the wizard
// where a display answers, contaxio-cli elsewhere.
class DemoScriptTest : public ProgramTest {
protected:
    DemoScriptTest() { std::filesystem::create_directory(work()); }

    std::filesystem::path work() const { return dir.file("work"); }

    ChildProcess demo(const std::vector<std::string>& words, Screen screen,
                      std::vector<std::string> extra = {}) const {
        std::vector<std::string> command{"bash", CONTAXIO_DEMO_SCRIPT};
        command.insert(command.end(), words.begin(), words.end());
        extra.push_back("CONTAXIO_DEMO_BUILD=" CONTAXIO_BUILD_DIR);
        ChildProcess::Options options;
        options.workingDirectory = work().string();
        return run(command, screen, extra, options);
    }
};

// A listening socket where a display server would have its own.
class FakeDisplaySocket {
public:
    explicit FakeDisplaySocket(const std::filesystem::path& path)
        : descriptor_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string name = path.string();
        if (descriptor_ < 0 || name.size() >= sizeof address.sun_path) {
            ADD_FAILURE() << "no socket for " << name;
            return;
        }
        name.copy(address.sun_path, name.size());
        if (::bind(descriptor_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(descriptor_, 1) != 0) {
            ADD_FAILURE() << "cannot listen on " << name;
        }
    }
    ~FakeDisplaySocket() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    FakeDisplaySocket(const FakeDisplaySocket&) = delete;
    FakeDisplaySocket& operator=(const FakeDisplaySocket&) = delete;

private:
    int descriptor_;
};

TEST_F(DemoScriptTest, WithoutADisplayItExportsWithTheCommandLineToolAndSaysSo) {
    ChildProcess script = demo({}, Screen::None);
    ASSERT_EQ(script.wait(kWait), 0) << script.errors();
    EXPECT_NE(script.errors().find("demo.sh: no display here"), std::string::npos)
        << script.errors();
    EXPECT_NE(script.output().find("Phone memory:  completed"), std::string::npos)
        << script.output();
    // UTF-16 with its byte-order mark: the demo phone speaks UCS2.
    EXPECT_EQ(test_support::readFileBytes(work() / "contacts.csv").substr(0, 2), "\xff\xfe");
    EXPECT_TRUE(temporaryIsEmpty());

    ChildProcess chosen = demo({"--cli", "other.csv"}, Screen::None);
    ASSERT_EQ(chosen.wait(kWait), 0) << chosen.errors();
    EXPECT_EQ(chosen.errors().find("no display"), std::string::npos) << chosen.errors();
    EXPECT_EQ(test_support::readFileBytes(work() / "other.csv"),
              test_support::readFileBytes(work() / "contacts.csv"));

    ChildProcess wizard = demo({"--wizard"}, Screen::None);
    EXPECT_EQ(wizard.wait(kWait), 1);
    EXPECT_NE(wizard.errors().find("the wizard needs a display"), std::string::npos)
        << wizard.errors();
}

TEST_F(DemoScriptTest, OnADesktopItStartsTheWizardWithTheDemoPhone) {
    const std::filesystem::path socket = runtime() / "wayland-demo";
    const FakeDisplaySocket display(socket);
    // The script finds the display's socket; the wizard itself draws offscreen.
    ChildProcess script = demo({}, Screen::Offscreen, {"WAYLAND_DISPLAY=" + socket.string()});
    ASSERT_TRUE(script.waitForOutput("contaxio --demo\n", kWait)) << script.errors();
    ASSERT_TRUE(script.waitForError("contaxio: first page shown\n", kWait)) << script.errors();
    EXPECT_FALSE(temporaryIsEmpty());  // the demo phone's device tree

    // The script gave its place to the wizard, which ends in order on SIGTERM.
    script.signal(SIGTERM);
    EXPECT_EQ(script.wait(kWait), 128 + SIGTERM) << script.errors();
    EXPECT_TRUE(temporaryIsEmpty());
    EXPECT_FALSE(std::filesystem::exists(work() / "contacts.csv"));
}

}  // namespace
