// contaxio-cli run as a child process against simulated phones: what scripts and people see
// (exit status, output file, the key words of the messages).

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PtyPair.h"
#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/ScenarioParser.h"
#include "phonesim/Simulator.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::readFileBytes;
using test_support::TempDir;

// An export pays about two seconds of mode-switch pauses, more under the sanitizers.
constexpr auto kRunLimit = 60s;

// A standard-phonebook phone read in UCS2, with contacts on both sides of the block 11-20.
const std::string kPhone = R"([phone]
model = T1
imei = 351234567890999
charsets = UCS2, GSM
charset = GSM
mode = 0
extended = no

[storage ME]
range = 1-30

[storage SM]
range = 1-20

[contact ME 1]
name = Anna Berg
phone.mobile = +4917012345

[contact ME 7]
name = Zoë Núñez
phone.home = 0301234567

[contact ME 12]
name = Ёлка 😀
email = elka@example.org

[contact ME 25]
name = Chen 陈
phone.mobile = 123

[contact SM 3]
name = Bob
phone.mobile = +15551234567
)";

phonesim::Scenario scenario(const std::string& extra = "") {
    phonesim::ParsedScenario parsed = phonesim::ScenarioParser::parse(kPhone + extra, "t1.scn");
    if (!parsed) {
        ADD_FAILURE() << parsed.error;
        return {};
    }
    return *parsed.scenario;
}

std::string utf16(const std::string& utf8) {
    std::string bytes;
    for (const char16_t unit : text_codec::fromUtf8(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// This process's command name, as other processes see it.
std::string ownCommandName() {
    std::string name;
    std::getline(std::ifstream("/proc/self/comm"), name);
    return name;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A Google row of the standard phonebook: the name, and some cells (numbered from 1) set; the
// cells in between hold the layout's fixed types.
std::string googleRow(const std::string& name, const std::map<int, std::string>& cells) {
    std::vector<std::string> row = {
        "",     "",     "\"\"",        "\"\"",  "",     "",      "",     "",
        "",     "",     "\"General\"", "Work",  "\"\"", "Home",  "\"\"", "Other",
        "\"\"", "Main", "\"\"",        "Home",  "\"\"", "Work",  "\"\"", "Mobile",
        "\"\"", "Fax",  "\"\"",        "Pager", "\"\"", "Other", "\"\"", "Home",
        "\"\"", "Work", "\"\"",        "Other", "\"\"", "Other", "\"\""};
    row[0] = "\"" + name + " \"";
    for (const auto& [column, cell] : cells) {
        row.at(static_cast<std::size_t>(column - 1)) = "\"" + cell + "\"";
    }
    std::string text;
    for (const std::string& cell : row) {
        text += cell + ",";
    }
    return text + "\r\n";
}

// The Google file of the phone above, in UTF-8: the standard phonebook gives the whole name as
// one text and every number as a mobile number (column 25), an e-mail address as the third
// (column 17).
const std::string kGoogleHeader =
    "Name,Given Name,Additional Name,Family Name,Birthday,Occupation,Hobby,Sensitivity,"
    "Priority,Subject,Group Membership,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,"
    "E-mail 2 - Value,E-mail 3 - Type,E-mail 3 - Value,Phone 1 - Type,Phone 1 - Value,"
    "Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Phone 4 - Type,"
    "Phone 4 - Value,Phone 5 - Type,Phone 5 - Value,Phone 6 - Type,Phone 6 - Value,"
    "Phone 7 - Type,Phone 7 - Value,Address 1 - Type,Address 1 - Formatted,Address 2 - Type,"
    "Address 2 - Formatted,Address 3 - Type,Address 3 - Formatted,Website 1 - Type,"
    "Website 1 - Value\r\n";
const std::string kRowAnna = googleRow("Anna Berg", {{25, "+4917012345"}});
const std::string kRowZoe = googleRow("Zo\u00eb N\u00fa\u00f1ez", {{25, "0301234567"}});
const std::string kRowElka =
    googleRow("\u0401\u043b\u043a\u0430 \U0001F600", {{17, "elka@example.org"}});
const std::string kRowChen = googleRow("Chen \u9648", {{25, "123"}});
const std::string kRowBob = googleRow("Bob", {{25, "+15551234567"}});

const std::string kOutlookHeader =
    "\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\",\"Primary Phone\","
    "\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\",\"Business Phone\"\r\n";
const std::string kOutlookBob = "\"Bob\",,\"\",\"\",\"\",\"\",\"+15551234567\",,\"\",\"\"\r\n";

// Runs contaxio-cli and waits for its end.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const std::vector<std::string>& arguments,
              const ChildProcess::Options& options = ChildProcess::Options{}) {
    ChildProcess child(CONTAXIO_CLI, arguments, options);
    CliRun run;
    run.status = child.wait(kRunLimit);
    run.out = child.output();
    run.err = child.errors();
    return run;
}

std::string describe(const CliRun& run) {
    return "status " + std::to_string(run.status) + "\n--- stdout\n" + run.out + "--- stderr\n" +
           run.err;
}

TEST(CliExport, WritesThePhoneMemoryThenTheSimAndSummarises) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna + kRowZoe +
                                                      kRowElka + kRowChen + kRowBob));
    EXPECT_TRUE(contains(run.out, "Phone:         T1, IMEI 351234567890999\n")) << run.out;
    EXPECT_TRUE(contains(run.out,
                         "Phone memory:  completed, 30 of 30 places read, 4 entries in "
                         "4 contacts written\n"))
        << run.out;
    EXPECT_TRUE(contains(run.out,
                         "SIM:           completed, 20 of 20 places read, 1 entry in 1 "
                         "contact written\n"))
        << run.out;
    EXPECT_TRUE(contains(run.out, "File:          " + file.string() + "\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "Charset:       UCS2 (file in UTF-16")) << run.out;
    // Standard error is no terminal: lines when a storage starts, at each tenth, at its end.
    EXPECT_TRUE(contains(run.err,
                         "Phone memory: reading, 0 of 30 places read\n"
                         "Phone memory: reading, 10 of 30 places read\n"
                         "Phone memory: reading, 20 of 30 places read\n"
                         "Phone memory: completed, 30 of 30 places read\n"))
        << run.err;
    EXPECT_TRUE(contains(run.err, "SIM: completed, 20 of 20 places read\n")) << run.err;
}

// A phone of another maker with their habits (no AT+MODE, no AT+CLAC, +CME ERROR on every
// empty window, names padded with blanks, bare hexadecimal names under UCS2, unsolicited codes)
// offering one charset: each is read into the file it calls for, each letter the charset
// cannot carry arriving as '?'.
std::string otherMakersPhone(const std::string& charset) {
    return "[phone]\nmanufacturer = Vellamo\nmodel = VX 7\nimei = 358811223344556\n"
           "charsets = " +
           charset + "\nmode-command = no\nidentification = plain\n\n" + R"([storage SM]
range = 1-20
text-length = 18

[storage ME]
range = 1-30
text-length = 18

[behaviour]
fail = AT+CLAC
error-mode = 1
empty-read = error
bare-names = yes
pad-names = yes
unsolicited = every 5 -> RING
unsolicited = within AT+CPBR=11,20 -> +CREG: 1

[contact ME 1]
name = Åsa Nyström
phone.mobile = +46701112233

[contact ME 15]
name = Café €5 [x]
phone.mobile = 0612345678

[contact SM 2]
name = Пётр
phone.mobile = +79005554433
)";
}

TEST(CliExport, AnotherMakersPhoneInEachCharsetItMayOffer) {
    struct Case {
        std::string offered;
        std::string head;  // the byte-order mark
        bool utf16;
        std::vector<std::string> names;
    };
    const std::string bom8 = "\xEF\xBB\xBF";
    const std::vector<std::string> whole = {"Åsa Nyström", "Café €5 [x]", "Пётр"};
    const std::vector<Case> cases = {
        {"UCS2", "\xFF\xFE", true, whole},
        {"UTF-8", bom8, false, whole},
        {"8859-1", bom8, false, {"Åsa Nyström", "Café ?5 [x]", "????"}},
        {"GSM", bom8, false, {"Åsa Nyström", "Café €5 [x]", "????"}},
        {"IRA", "", false, {"?sa Nystr?m", "Caf? ?5 [x]", "????"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offered);
        phonesim::ParsedScenario parsed =
            phonesim::ScenarioParser::parse(otherMakersPhone(c.offered), "vx7.scn");
        ASSERT_TRUE(parsed) << parsed.error;
        phonesim::Simulator phone(*parsed.scenario);
        TempDir dir;
        const auto file = dir.file("vx7.csv");
        const CliRun probe = runCli({"probe", "--port", phone.portPath()});
        ASSERT_EQ(probe.status, 0) << describe(probe);
        EXPECT_TRUE(contains(probe.out, "Model:         Vellamo VX 7\n")) << probe.out;
        EXPECT_TRUE(contains(probe.out, "Support:       standard phonebook (level 4)\n"))
            << probe.out;
        const CliRun run =
            runCli({"export", "--quiet", "--port", phone.portPath(), "--output", file.string()});
        ASSERT_EQ(run.status, 0) << describe(run);
        const std::string rows = kGoogleHeader + googleRow(c.names[0], {{25, "+46701112233"}}) +
                                 googleRow(c.names[1], {{25, "0612345678"}}) +
                                 googleRow(c.names[2], {{25, "+79005554433"}});
        EXPECT_TRUE(readFileBytes(file) == c.head + (c.utf16 ? utf16(rows) : rows))
            << readFileBytes(file);
        EXPECT_TRUE(contains(run.out, "Charset:       " + c.offered + " (")) << run.out;
        EXPECT_EQ(c.offered == "IRA", contains(run.err, "warning")) << run.err;
        // A pseudo-terminal has no USB identity: each run asks the mode and tries the switch
        // the maker's phones take, and after the refusal sends no mode command again.
        std::vector<std::string> modeCommands;
        for (const std::string& command : phone.transcript()) {
            if (command.starts_with("AT+MODE")) {
                modeCommands.push_back(command);
            }
        }
        EXPECT_EQ(modeCommands,
                  (std::vector<std::string>{"AT+MODE?", "AT+MODE=0", "AT+MODE?", "AT+MODE=0"}));
    }
}

TEST(CliExport, SimOnlyInTheOutlookLayoutQuietly) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto file = dir.file("sim.csv");
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string(),
                               "--storages", "sm", "--layout", "outlook", "--quiet"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kOutlookHeader + kOutlookBob));
    EXPECT_TRUE(contains(run.out, "Phone memory:  not chosen\n")) << run.out;
    EXPECT_TRUE(contains(run.out,
                         "SIM:           completed, 20 of 20 places read, 1 entry in 1 "
                         "contact written"))
        << run.out;
    EXPECT_EQ(run.err, "") << "quiet";
    for (const std::string& command : phone.transcript()) {
        EXPECT_NE(command, "AT+CPBS=\"ME\"");
    }
}

TEST(CliExport, FallsBackToAsciiWithAWarning) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("ascii-only"));
    TempDir dir;
    const auto file = dir.file("ascii.csv");
    const CliRun run = runCli(
        {"export", "--port", phone.portPath(), "--output", file.string(), "--storages", "me"});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_TRUE(contains(run.err, "warning") && contains(run.err, "ASCII") &&
                contains(run.err, "'?'"))
        << run.err;
    const std::string bytes = readFileBytes(file);
    EXPECT_TRUE(contains(bytes, "Jos? Garc?a")) << bytes;
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_TRUE(contains(run.out, "Charset:       ASCII (file in ASCII)")) << run.out;
}

TEST(CliExport, AnUnplugEndsTheExportKeepingTheRowsWritten) {
    phonesim::Simulator phone(scenario("\n[behaviour]\nunplug-at = AT+CPBR=11,20\n"));
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    EXPECT_EQ(run.status, 4) << describe(run);
    EXPECT_TRUE(contains(run.err, "phone on " + phone.portPath() + ": it was disconnected"))
        << run.err;
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna + kRowZoe));
    // One word for the outcome, in the progress and in the summary.
    EXPECT_TRUE(contains(run.err, "Phone memory: disconnected, 10 of 30 places read\n")) << run.err;
    EXPECT_TRUE(contains(run.out,
                         "Phone memory:  disconnected, 10 of 30 places read, 2 entries "
                         "in 2 contacts written\n"))
        << run.out;
    for (const std::string word : {"failed", "cancelled"}) {
        EXPECT_FALSE(contains(run.out + run.err, word)) << word;
    }
}

TEST(CliExport, CtrlCStopsAtTheNextContactKeepingWholeRows) {
    phonesim::Simulator phone(scenario());
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), 1500ms);
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    ChildProcess child(CONTAXIO_CLI,
                       {"export", "--port", phone.portPath(), "--output", file.string()});
    ASSERT_TRUE(gate->waitUntilHeld(kRunLimit)) << child.errors();
    child.signal(SIGINT);
    EXPECT_TRUE(child.waitForError("stopping at the next contact", 5s)) << child.errors();
    gate->release();
    const int status = child.wait(kRunLimit);
    EXPECT_EQ(status, 130) << child.errors();
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna + kRowZoe));
    EXPECT_TRUE(contains(child.output(),
                         "Phone memory:  cancelled, 10 of 30 places read, 2 "
                         "entries in 2 contacts written"))
        << child.output();
    EXPECT_TRUE(contains(child.output(),
                         "SIM:           cancelled, 0 of 0 places read, 0 "
                         "entries in 0 contacts written"))
        << child.output();
    EXPECT_TRUE(contains(child.errors(), "SIM: cancelled, 0 of 0 places read")) << child.errors();
    for (const std::string& command : phone.transcript()) {
        EXPECT_NE(command, "AT+CPBS=\"SM\"") << "no storage after the stop";
    }
}

TEST(CliExport, AWriteErrorAbortsWithoutATerminalAndKeepsWholeRows) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    ChildProcess::Options options;
    // Room for the mark, the header and one row, not for the second row.
    options.fileSizeLimit = 2 + utf16(kGoogleHeader + kRowAnna).size() + 10;
    const CliRun run =
        runCli({"export", "--port", phone.portPath(), "--output", file.string()}, options);
    EXPECT_EQ(run.status, 5) << describe(run);
    EXPECT_TRUE(contains(run.err, "output file " + file.string() +
                                      ": the file has reached the largest size allowed"))
        << run.err;
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna));
    // The row of index 7 failed: the first block was never read to its end.
    EXPECT_TRUE(contains(run.out,
                         "Phone memory:  write error, 0 of 30 places read, 1 entry in "
                         "1 contact written"))
        << run.out;
}

TEST(CliExport, AWriteErrorIsAskedOnATerminal) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    test_support::PtyPair terminal;
    const int input = ::open(terminal.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(input, 0);
    ChildProcess::Options options;
    options.fileSizeLimit = 2 + utf16(kGoogleHeader + kRowAnna).size() + 10;
    options.standardInput = input;
    ChildProcess child(CONTAXIO_CLI,
                       {"export", "--port", phone.portPath(), "--output", file.string()}, options);
    ::close(input);
    ASSERT_TRUE(child.waitForError("Retry or abort? [r/a] ", kRunLimit)) << child.errors();
    terminal.writeMaster("r\n");  // the limit still holds: asked again
    EXPECT_TRUE(child.waitForError("Retry or abort? [r/a] ", 10s, 2)) << child.errors();
    terminal.writeMaster("a\n");
    EXPECT_EQ(child.wait(kRunLimit), 5) << child.errors();
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna));
}

TEST(CliExport, RefusesAnUnsupportedPhoneWithoutCreatingTheFile) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::load("unsupported"));
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    EXPECT_EQ(run.status, 3) << describe(run);
    EXPECT_TRUE(contains(run.err, "Z-Basic") && contains(run.err, "not supported")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(CliExport, APhoneThatDoesNotAnswer) {
    test_support::PtyPair silent;  // nobody answers on the other side
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    const CliRun run = runCli({"export", "--port", silent.slavePath(), "--output", file.string()});
    EXPECT_EQ(run.status, 3) << describe(run);
    EXPECT_TRUE(contains(run.err, "does not answer")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(CliExport, ACharsetsQueryThatNeverAnswersMeansThePhoneDoesNotAnswer) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    ChildProcess child(CONTAXIO_CLI,
                       {"export", "--port", phone.portPath(), "--output", file.string()});
    // The probe asks first (AT+CSCS=? comes before its AT+CGSN); the phone manager's query is
    // the second AT+CSCS=?, and the phone keeps its answer past the modem's two seconds of
    // silence.
    ASSERT_TRUE(phone.waitForCommand("AT+CGSN", 1, kRunLimit)) << child.errors();
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CSCS=?"), 3s);
    const int status = child.wait(kRunLimit);
    EXPECT_EQ(status, 3) << child.errors();
    EXPECT_TRUE(contains(child.errors(), "does not answer")) << child.errors();
    EXPECT_FALSE(std::filesystem::exists(file));
    const std::vector<std::string> commands = phone.transcript();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+CSCS=?"), 2);
    EXPECT_EQ(std::find(commands.begin(), commands.end(), "AT+CPBS=\"ME\""), commands.end())
        << "no storage was read";
}

TEST(CliExport, PortProblemsAreNamedWithTheWayOut) {
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    const CliRun missing =
        runCli({"export", "--port", "/dev/contaxio-no-such-port", "--output", file.string()});
    EXPECT_EQ(missing.status, 3) << describe(missing);
    EXPECT_TRUE(contains(missing.err, "/dev/contaxio-no-such-port") &&
                contains(missing.err, "no such port"))
        << missing.err;

    phonesim::Simulator phone(scenario());
    // Another program holds the port the way the serial layer does: with an exclusive lock.
    const int holder = ::open(phone.portPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const CliRun held = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    ::close(holder);
    EXPECT_EQ(held.status, 3) << describe(held);
    // This process holds it, and the system shows that to a process of the same user.
    EXPECT_TRUE(contains(held.err, "port " + phone.portPath() + ": the program " +
                                       ownCommandName() + " (process " +
                                       std::to_string(::getpid()) +
                                       ") is using the port; close that program and try again."))
        << held.err;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(CliExport, OutputProblemsAreFoundBeforeThePhoneIsAsked) {
    TempDir dir;
    const CliRun run = runCli({"export", "--port", "/dev/contaxio-no-such-port", "--output",
                               dir.file("missing/contacts.csv").string()});
    EXPECT_EQ(run.status, 5) << describe(run);
    EXPECT_TRUE(contains(run.err, "does not exist") && contains(run.err, "missing")) << run.err;
    EXPECT_FALSE(contains(run.err, "no such port")) << run.err;
}

// --- The output file ---------------------------------------------------------------------

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

const std::string kOldFile = "\xFF\xFE" + utf16(kGoogleHeader + kRowBob);

// A phone that fails before the first contact costs nothing: the file there stays whole.
TEST(CliOutput, AnExportThatWroteNothingLeavesTheFileAsItWas) {
    phonesim::Simulator phone(scenario("\n[behaviour]\nunplug-at = AT+CPBR=1,10\n"));
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    test_support::writeFileBytes(file, kOldFile);
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    EXPECT_EQ(run.status, 4) << describe(run);
    EXPECT_EQ(readFileBytes(file), kOldFile);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no working file left";
    EXPECT_TRUE(contains(run.out, "File:          " + file.string() +
                                      " (left as it was, as no contact was exported)\n"))
        << run.out;
}

// A killed export leaves the old file and a working file that the next export clears away.
TEST(CliOutput, AKilledExportLeavesTheOldFileAndTheNextOneClearsUp) {
    TempDir dir;
    const auto file = dir.file("contacts.csv");
    test_support::writeFileBytes(file, kOldFile);
    {
        phonesim::Simulator phone(scenario());
        auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), 1500ms);
        ChildProcess child(CONTAXIO_CLI,
                           {"export", "--port", phone.portPath(), "--output", file.string()});
        ASSERT_TRUE(gate->waitUntilHeld(kRunLimit)) << child.errors();
        child.signal(SIGKILL);
        EXPECT_EQ(child.wait(kRunLimit), 128 + SIGKILL);
        gate->release();
    }
    EXPECT_EQ(readFileBytes(file), kOldFile);
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "the old file and the killed run's working file";

    phonesim::Simulator phone(scenario());
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", file.string()});
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(readFileBytes(file), "\xFF\xFE" + utf16(kGoogleHeader + kRowAnna + kRowZoe +
                                                      kRowElka + kRowChen + kRowBob));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// The phone's own port, or any terminal, is never written, and the phone is not touched.
TEST(CliOutput, ATerminalIsRefusedBeforeThePhoneIsAsked) {
    phonesim::Simulator phone(scenario());
    const CliRun run = runCli({"export", "--port", phone.portPath(), "--output", phone.portPath()});
    EXPECT_EQ(run.status, 5) << describe(run);
    EXPECT_TRUE(contains(run.err, "output file " + phone.portPath() + ": it is a terminal"))
        << run.err;
    EXPECT_TRUE(phone.transcript().empty());

    // Standard output that is a terminal does not get the binary file either.
    test_support::PtyPair terminal;
    const int screen = ::open(terminal.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(screen, 0);
    ChildProcess::Options options;
    options.standardOutput = screen;
    const CliRun toScreen =
        runCli({"export", "--port", phone.portPath(), "--output", "-"}, options);
    ::close(screen);
    EXPECT_EQ(toScreen.status, 5) << describe(toScreen);
    EXPECT_TRUE(contains(toScreen.err, "standard output: it is a terminal")) << toScreen.err;
    EXPECT_TRUE(phone.transcript().empty());
}

TEST(CliOutput, DashWritesTheFileToStandardOutputAndTheSummaryToStandardError) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    ChildProcess::Options options;
    options.workingDirectory = dir.path().string();
    const CliRun run = runCli(
        {"export", "--port", phone.portPath(), "--output", "-", "--storages", "sm"}, options);
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_EQ(run.out, "\xFF\xFE" + utf16(kGoogleHeader + kRowBob));
    EXPECT_TRUE(contains(run.err, "SIM:           completed, 20 of 20 places read") &&
                contains(run.err, "File:          standard output\n"))
        << run.err;
    EXPECT_EQ(entriesIn(dir.path()), 0u) << "no file named -";
}

// The cards of a vCard file as python3-vobject reads them (see tests/export/read_vcards.py).
nlohmann::json readWithVobject(const std::filesystem::path& file) {
    ChildProcess reader(CONTAXIO_DEBIAN_PYTHON, {CONTAXIO_READ_VCARDS, file.string()});
    const int status = reader.wait(kRunLimit);
    EXPECT_EQ(status, 0) << reader.errors();
    return status == 0 ? nlohmann::json::parse(reader.output()) : nlohmann::json::array();
}

// vCard to standard output and to a file: the same bytes (the UIDs come from the IMEI, which
// the file never shows), every contact of both storages in the CSV's order, and a summary that
// tells the file's real encoding.
TEST(CliVCard, ExportWritesEveryContactWithStableUidsToAFileOrStandardOutput) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const CliRun piped = runCli(
        {"export", "--port", phone.portPath(), "--output", "-", "--layout", "vcard", "--quiet"});
    ASSERT_EQ(piped.status, 0) << describe(piped);
    EXPECT_TRUE(contains(piped.err, "Charset:       UCS2 (file in UTF-8 without byte-order mark)"))
        << piped.err;
    const std::filesystem::path file = dir.file("phone.vcf");
    const CliRun saved = runCli({"export", "--port", phone.portPath(), "--output", file.string(),
                                 "--layout=vcard", "--quiet"});
    ASSERT_EQ(saved.status, 0) << describe(saved);
    EXPECT_EQ(readFileBytes(file), piped.out);
    EXPECT_FALSE(contains(piped.out, "351234567890999")) << "the IMEI is in the file";

    const nlohmann::json cards = readWithVobject(file);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Anna Berg", "+4917012345"},
        {"Zo\u00eb N\u00fa\u00f1ez", "0301234567"},
        {"\u0401\u043b\u043a\u0430 \U0001F600", ""},
        {"Chen \u9648", "123"},
        {"Bob", "+15551234567"}};
    ASSERT_EQ(cards.size(), expected.size()) << cards.dump();
    std::set<std::string> uids;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const nlohmann::json& card = cards[i];
        EXPECT_EQ(card["fn"], expected[i].first);
        const nlohmann::json numbers =
            expected[i].second.empty() ? nlohmann::json::array()
                                       : nlohmann::json::array({{{"CELL"}, expected[i].second}});
        EXPECT_EQ(card["tel"], numbers) << card.dump();
        const std::string uid = card["uid"];
        EXPECT_EQ(uid.size(), 36u);
        EXPECT_TRUE(uids.insert(uid).second) << uid;
    }
    EXPECT_EQ(cards[2]["email"], nlohmann::json::array({{{"INTERNET"}, "elka@example.org"}}));
}

// The demo in vCard: contacts.vcf by default, every contact counted in the summary read back.
TEST(CliVCard, TheDemoWritesContactsVcf) {
    TempDir dir;
    ChildProcess::Options options;
    options.workingDirectory = dir.path().string();
    const CliRun run = runCli({"demo", "--layout", "vcard", "--quiet"}, options);
    ASSERT_EQ(run.status, 0) << describe(run);
    EXPECT_TRUE(contains(run.out, "48 contacts written") &&
                contains(run.out, "11 contacts written"))
        << run.out;
    EXPECT_EQ(readWithVobject(dir.file("contacts.vcf")).size(), 59u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(CliUsage, WrongCommandLinesHelpAndVersion) {
    const CliRun wrong = runCli({"export", "--port", "/dev/x"});
    EXPECT_EQ(wrong.status, 2) << describe(wrong);
    EXPECT_TRUE(contains(wrong.err, "--output") && contains(wrong.err, "--help")) << wrong.err;
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.out, "Exit status")) << help.out;
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("contaxio-cli ") + CONTAXIO_VERSION + "\n");
}

// No option takes another as its value; nothing is created from a refused command line.
TEST(CliUsage, AnOptionNeverSwallowsTheNextOne) {
    TempDir dir;
    ChildProcess::Options options;
    options.workingDirectory = dir.path().string();
    const std::vector<std::vector<std::string>> refused = {
        {"export", "--port", "--output", "x.csv"},
        {"demo", "--output", "--help"},
        {"--version", "extra"},
    };
    for (const auto& arguments : refused) {
        const CliRun run = runCli(arguments, options);
        EXPECT_EQ(run.status, 2) << describe(run);
        EXPECT_TRUE(run.err.starts_with("contaxio-cli: error: command line: ")) << run.err;
    }
    EXPECT_EQ(entriesIn(dir.path()), 0u);

    const CliRun quiet = runCli({"demo", "--quiet"}, options);
    EXPECT_EQ(quiet.status, 0) << describe(quiet);
    EXPECT_EQ(quiet.err, "");
    EXPECT_TRUE(std::filesystem::exists(dir.file("contacts.csv")));
}

// What goes to standard output must arrive: a full or closed one is an error.
TEST(CliUsage, AFullOrClosedStandardOutputIsAnError) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    const int closed = ::open("/dev/null", O_RDONLY | O_CLOEXEC);  // every write fails
    ASSERT_GE(full, 0);
    ASSERT_GE(closed, 0);
    for (const auto& [fd, cause] : {std::pair{full, std::string("the disk is full")},
                                    std::pair{closed, std::string("it is closed")}}) {
        ChildProcess::Options options;
        options.standardOutput = fd;
        const CliRun help = runCli({"export", "--help"}, options);
        EXPECT_EQ(help.status, 5) << describe(help);
        EXPECT_TRUE(contains(help.err, "standard output: writing failed, as " + cause)) << help.err;
    }
    // The summary of an export that went well.
    TempDir dir;
    ChildProcess::Options options;
    options.standardOutput = full;
    const CliRun demo =
        runCli({"demo", "--quiet", "--output", dir.file("c.csv").string()}, options);
    EXPECT_EQ(demo.status, 5) << describe(demo);
    EXPECT_TRUE(contains(demo.err, "standard output: writing failed")) << demo.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("c.csv")));
    ::close(full);
    ::close(closed);
}

TEST(CliProbe, DescribesThePhone) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::demo());
    const CliRun run = runCli({"probe", "--port", phone.portPath()});
    ASSERT_EQ(run.status, 0) << describe(run);
    for (const std::string line :
         {"Model:         Z3\n", "IMEI:          351234567890123\n",
          "Support:       extended phonebook (level 5)\n", "Charsets:      UCS2, UTF8, ASCII\n",
          "Storages:      phone memory (ME), SIM (SM)\n"}) {
        EXPECT_TRUE(contains(run.out, line)) << line << run.out;
    }
}

TEST(CliDemo, ExportsTheSimulatedPhoneIntoTheCurrentFolder) {
    TempDir dir;
    ChildProcess::Options options;
    options.workingDirectory = dir.path().string();
    const CliRun run = runCli({"demo"}, options);
    ASSERT_EQ(run.status, 0) << describe(run);
    const phonesim::Scenario demo = phonesim::BuiltInScenarios::demo();
    const std::string bytes = readFileBytes(dir.file("contacts.csv"));
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_TRUE(contains(bytes, utf16("M\u00fcller"))) << "a name of the demo phone";
    for (const std::string storage : {"ME", "SM"}) {
        const std::string count = std::to_string(demo.storage(storage)->contacts.size());
        const std::string label = storage == "ME" ? "Phone memory:  " : "SIM:           ";
        EXPECT_TRUE(contains(run.out, label + "completed, ") &&
                    contains(run.out, " in " + count + " contacts written"))
            << run.out;
    }
}

// The port's line settings (echo, line editing) are as they were after the program is done.
TEST(CliProbe, LeavesTheTerminalsSettingsAsItFoundThem) {
    test_support::PtyPair silent;
    termios before{};
    ASSERT_EQ(::tcgetattr(silent.masterFd(), &before), 0);
    ASSERT_NE(before.c_lflag & ECHO, 0u);
    ASSERT_NE(before.c_lflag & ICANON, 0u);
    const CliRun run = runCli({"probe", "--port", silent.slavePath()});
    EXPECT_EQ(run.status, 3) << describe(run);
    EXPECT_TRUE(contains(run.err, "does not answer")) << run.err;
    termios after{};
    ASSERT_EQ(::tcgetattr(silent.masterFd(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
}

TEST(CliProbe, APortThatIsNoPhonesIsNamedWithTheWayOut) {
    const CliRun null = runCli({"probe", "--port", "/dev/null"});
    EXPECT_EQ(null.status, 3) << describe(null);
    EXPECT_EQ(null.err,
              "contaxio-cli: error: port /dev/null: this is not a serial port; give "
              "the phone's modem port, such as /dev/ttyACM0 (ls /dev/ttyACM* lists "
              "them).\n");
}

// --trace writes every byte both ways, of the probe and of the export.
TEST(CliTrace, TracesTheProbeAndTheExport) {
    phonesim::Simulator phone(scenario());
    TempDir dir;
    const auto trace = dir.file("trace.txt");
    const CliRun run =
        runCli({"export", "--port", phone.portPath(), "--output", dir.file("c.csv").string(),
                "--storages", "sm", "--trace", trace.string()});
    ASSERT_EQ(run.status, 0) << describe(run);
    const std::string text = readFileBytes(trace);
    EXPECT_TRUE(text.starts_with("# contaxio-cli " + std::string(CONTAXIO_VERSION) +
                                 " byte trace of " + phone.portPath()))
        << text;
    std::size_t sent = 0;
    std::size_t received = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos && at + 1 < text.size();
         at = text.find('\n', at + 1)) {
        const std::string line = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
        // seconds.micros, a direction, the bytes
        ASSERT_GT(line.find(' '), line.find('.')) << line;
        EXPECT_EQ(line.find('.'), line.find(' ') - 7) << line;
        const std::string direction = line.substr(line.find(' '), 3);
        sent += direction == " > " ? 1u : 0u;
        received += direction == " < " ? 1u : 0u;
        EXPECT_TRUE(direction == " > " || direction == " < ") << line;
    }
    const std::vector<std::string> commands = phone.transcript();
    EXPECT_EQ(sent, commands.size()) << "one line per command sent";
    EXPECT_GE(received, 1u);
    for (const std::string command : {"AT+CGMM", "AT+CPBS=\"SM\"", "AT+CPBR=11,20"}) {
        EXPECT_TRUE(contains(text, " > " + command + "\\r\\n\n")) << command;
    }
    EXPECT_TRUE(contains(text, "OK\\r\\n")) << text;

    const CliRun probe = runCli({"probe", "--port", phone.portPath(), "--trace", trace.string()});
    ASSERT_EQ(probe.status, 0) << describe(probe);
    EXPECT_TRUE(contains(readFileBytes(trace), " > AT+CGSN\\r\\n\n"));
}

}  // namespace
