#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "PtyPair.h"
#include "TempDir.h"
#include "causes/CauseTable.h"
#include "charsets/CharsetChoice.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/ExportCommand.h"
#include "cli/ExportSummary.h"
#include "cli/ExportTexts.h"
#include "cli/OutputFileCheck.h"
#include "cli/ProbeReport.h"
#include "cli/ProgressDisplay.h"
#include "cli/UserMessages.h"
#include "common/StorageKind.h"

namespace {

using namespace std::chrono_literals;
using R = ExportResult;
using Message = UserMessages::Message;

constexpr StorageKind kMemory = StorageKind::Memory;
constexpr StorageKind kSim = StorageKind::Sim;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliExitStatus, TheGravestResultOfTheStoragesDecides) {
    EXPECT_EQ(exitStatusOf({R::Completed}), ExitStatus::Success);
    EXPECT_EQ(exitStatusOf({R::Completed, R::Completed}), ExitStatus::Success);
    EXPECT_EQ(exitStatusOf({R::Completed, R::Failed}), ExitStatus::PhoneUnusable);
    EXPECT_EQ(exitStatusOf({R::Completed, R::None}), ExitStatus::PhoneUnusable);
    EXPECT_EQ(exitStatusOf({R::Disconnected, R::Failed}), ExitStatus::PhoneDisconnected);
    EXPECT_EQ(exitStatusOf({R::Completed, R::WriteError}), ExitStatus::OutputFailed);
    EXPECT_EQ(exitStatusOf({R::WriteError, R::Disconnected}), ExitStatus::OutputFailed);
    EXPECT_EQ(exitStatusOf({R::Cancelled, R::None}), ExitStatus::Cancelled);
    EXPECT_EQ(exitStatusOf({R::WriteError, R::Cancelled}), ExitStatus::Cancelled);
    EXPECT_EQ(exitStatusOf({}), ExitStatus::PhoneUnusable);
    EXPECT_EQ(exitCode(ExitStatus::Cancelled), 130);
    EXPECT_EQ(exitCode(ExitStatus::Usage), 2);
}

// --- Console ----------------------------------------------------------------------------------

TEST(CliConsole, MessagesShowOutsideTextEscapedOnALineOfTheirOwn) {
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, -1, false, false);
    console.report(UserMessages::phoneDisconnected("/dev/ttyACM0\n\x1b[31mfake"));
    EXPECT_EQ(err.str(),
              "contaxio-cli: " +
                  UserMessages::phoneDisconnected("/dev/ttyACM0\\n\\x1b[31mfake").text() + "\n");
    EXPECT_EQ(out.str(), "");
    console.resultsToErrors();
    console.out() << "summary";
    EXPECT_TRUE(err.str().ends_with("summary"));
    EXPECT_EQ(out.str(), "");
}

// --- Messages -------------------------------------------------------------------------------

// Every message the program can show, with names from outside in it.
std::vector<Message> everyMessage(const std::string& name, int code) {
    std::vector<Message> messages = {
        UserMessages::portNotOpened(name, code),
        UserMessages::portFailed(name, code),
        UserMessages::phoneNotAnswering(name),
        UserMessages::phoneUnsupported(name, name),
        UserMessages::phoneDisconnected(name),
        UserMessages::noStorages(name),
        UserMessages::storageMissing(name, kSim, name),
        UserMessages::asciiFallback(name),
        UserMessages::storageFailed(name, kMemory),
        UserMessages::outputProblem(name, code),
        UserMessages::outputProblem(name, code, true),
        UserMessages::outputIsTerminal(name),
        UserMessages::standardOutputIsTerminal(),
        UserMessages::outputNotReplaced(name, code),
        UserMessages::standardOutputFailed(code),
        UserMessages::traceProblem(name, code),
        UserMessages::traceIsTerminal(name),
        UserMessages::traceIncomplete(name, code),
        UserMessages::usage(name, "export"),
        UserMessages::stopping(),
        UserMessages::stopped(),
        UserMessages::demoStarted(name, name, name),
        UserMessages::unexpected(name),
        UserMessages::outOfMemory(),
        UserMessages::phoneCannotBeUsed(name, name, DeviceState::NoDriver),
        UserMessages::phoneCannotBeUsed("", "", DeviceState::OtherMode),
        UserMessages::phoneCannotBeUsed(name, name, DeviceState::Unsupported),
        UserMessages::phoneCannotBeUsed(name, "", DeviceState::Unsupported),
        UserMessages::noPhoneAttached(),
        UserMessages::severalPhones({name, name}),
        UserMessages::phoneChosen(name, name),
        UserMessages::devicesUnreadable(name, code, ""),
        UserMessages::devicesUnreadable(name, code, "CONTAXIO_SYSFS_ROOT"),
        UserMessages::searchIncomplete(60),
        UserMessages::watching(),
    };
    // Every cause of the table, as the probe may keep it.
    for (const causes::Cause cause : causes::allCauses()) {
        messages.push_back(UserMessages::phoneCannotBeUsed(name, "", DeviceState::Unsupported,
                                                           {cause, code, name, 42}));
    }
    return messages;
}

// One sentence of one form: kind, subject, cause, way out; the cause in our own words (never
// the system's text for the errno), and nothing of the source tree.
TEST(CliMessages, EveryMessageHasTheSameForm) {
    const std::vector<int> codes = {0,      ENOENT, EACCES, EPERM,  EBUSY,        EWOULDBLOCK,
                                    ENOTTY, EIO,    ENXIO,  ENODEV, ETIMEDOUT,    ENOTDIR,
                                    EROFS,  EISDIR, ENOSPC, EDQUOT, ENAMETOOLONG, EFBIG,
                                    ELOOP,  EINVAL, EPIPE,  EBADF,  EMLINK,       EXDEV};
    for (const int code : codes) {
        const std::string systemText = code == 0 ? "Success" : std::strerror(code);
        for (const Message& message : everyMessage("/dev/x", code)) {
            const std::string text = message.text();
            SCOPED_TRACE(text);
            EXPECT_TRUE(text.starts_with("error: ") || text.starts_with("warning: ") ||
                        text.starts_with("note: "));
            EXPECT_TRUE(text.starts_with(text.substr(0, text.find(':') + 2) + message.subject +
                                         ": " + message.cause));
            EXPECT_FALSE(message.cause.empty());
            EXPECT_TRUE(message.kind != Message::Kind::Error || !message.wayOut.empty());
            EXPECT_TRUE(text.ends_with(".") && !text.ends_with(".."));
            EXPECT_FALSE(contains(text, ". ")) << "one sentence";
            EXPECT_EQ(text.find("; "), text.rfind("; ")) << "one way out";
            EXPECT_FALSE(contains(text, systemText));
            EXPECT_FALSE(contains(text, "packaging/"));
            EXPECT_FALSE(contains(text, "\n"));
        }
    }
}

TEST(CliMessages, EachFileFailureIsNamedByItsCause) {
    const std::string path = "/home/ann/sub/out.csv";
    const std::vector<std::pair<Message, std::string>> cases = {
        {UserMessages::outputProblem(path, ENOENT), "the folder /home/ann/sub does not exist"},
        {UserMessages::outputProblem(path, EACCES), "you may not write in the folder"},
        {UserMessages::outputProblem(path, EACCES, true), "the file is read-only"},
        {UserMessages::outputProblem(path, EPERM, true), "the file is read-only"},
        {UserMessages::outputProblem(path, EROFS), "on a read-only file system"},
        {UserMessages::outputProblem(path, EISDIR), "it is a folder"},
        {UserMessages::outputProblem(path, ENAMETOOLONG), "the name is too long"},
        {UserMessages::outputProblem(path, ENOSPC), "the disk is full"},
        {UserMessages::outputProblem(path, EDQUOT), "your disk quota is used up"},
        {UserMessages::outputProblem(path, EMLINK), "(EMLINK)"},
        {UserMessages::outputNotReplaced(path, EROFS), "read-only file system, so the exported"},
        {UserMessages::standardOutputFailed(ENOSPC), "the disk is full"},
        {UserMessages::standardOutputFailed(EBADF), "it is closed"},
        {UserMessages::traceProblem(path, ENOENT), "choose another --trace"},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_TRUE(contains(message.text(), expected)) << message.text();
    }
}

TEST(CliMessages, PortsAreToldApartByWhatTheyDid) {
    const std::string port = "/dev/ttyACM0";
    EXPECT_TRUE(contains(UserMessages::portNotOpened(port, ENOENT).cause, "no such port"));
    EXPECT_TRUE(contains(UserMessages::portNotOpened(port, EACCES).wayOut, "dialout"));
    for (const int busy : {EWOULDBLOCK, EBUSY}) {
        const Message held = UserMessages::portNotOpened(port, busy);
        EXPECT_TRUE(contains(held.cause, "modem manager") &&
                    contains(held.wayOut, CONTAXIO_UDEV_RULE) && contains(held.wayOut, "README"))
            << held.text();
    }
    const Message notSerial = UserMessages::portNotOpened("/dev/null", ENOTTY);
    EXPECT_TRUE(contains(notSerial.cause, "not a serial port") &&
                contains(notSerial.wayOut, "/dev/ttyACM0"));
    // A port that hangs up at once is no phone's port; a port that fails in use lost its phone.
    for (const int gone : {EIO, ENXIO, ENODEV}) {
        EXPECT_TRUE(contains(UserMessages::portNotOpened(port, gone).cause, "not a phone's port"));
        EXPECT_EQ(UserMessages::portFailed(port, gone).text(),
                  UserMessages::phoneDisconnected(port).text());
    }
}

// --- Progress and summary -------------------------------------------------------------------

TEST(CliTexts, CountsAreSingularForOneAndPlacesNeverLeaveTheirRange) {
    EXPECT_EQ(ExportTexts::counted(1, "entry", "entries"), "1 entry");
    EXPECT_EQ(ExportTexts::counted(0, "entry", "entries"), "0 entries");
    EXPECT_EQ(ExportTexts::counted(2, "contact", "contacts"), "2 contacts");
    EXPECT_EQ(ExportTexts::places(1, 1), "1 of 1 place read");
    EXPECT_EQ(ExportTexts::places(120, 250), "120 of 250 places read");
    EXPECT_EQ(ExportTexts::places(300, 250), "250 of 250 places read");
    EXPECT_EQ(ExportTexts::places(-3, -7), "0 of 0 places read");
    EXPECT_EQ(ExportTexts::places(2147483647, 2147483647), "2147483647 of 2147483647 places read");
}

// The progress and the summary tell one outcome with one word and the same numbers; a storage
// never reached is told as cancelled.
TEST(CliTexts, ProgressAndSummaryAgreeInEveryOutcome) {
    const struct {
        R result;
        const char* word;
    } cases[] = {{R::None, "cancelled"},         {R::Completed, "completed"},
                 {R::Failed, "failed"},          {R::Disconnected, "disconnected"},
                 {R::WriteError, "write error"}, {R::Cancelled, "cancelled"}};
    for (const auto& c : cases) {
        const StorageOutcome storage{kSim, true, c.result, 250, 120, {40, 40, 31, c.result}};
        std::ostringstream progress;
        ProgressDisplay display(progress, ProgressDisplay::Mode::Lines);
        const auto now = ProgressDisplay::Clock::now();
        display.started(kSim, 250, now);
        display.progress(120, now);
        display.finished(kSim, storage.shownResult());
        const std::string endLine =
            ExportTexts::storageLabel(kSim) + ": " + c.word + ", " + ExportTexts::places(120, 250);
        EXPECT_TRUE(progress.str().ends_with(endLine + "\n")) << progress.str();
        EXPECT_EQ(ExportSummary::storageText(storage, true),
                  std::string(c.word) + ", " + ExportTexts::places(120, 250) +
                      ", 40 entries in 31 contacts written");
    }
}

TEST(CliProgress, BarFillsWithThePlacesRead) {
    EXPECT_EQ(ProgressDisplay::barLine(kMemory, 250, 500, 10),
              "Phone memory  [#####.....]  250 of 500 places read");
    EXPECT_EQ(ProgressDisplay::barLine(kSim, 300, 250, 4),
              "SIM           [####]  250 of 250 places read");
    EXPECT_EQ(ProgressDisplay::barLine(kSim, -3, -7, 4),
              "SIM           [....]  0 of 0 places read");
    // No overflow on the largest counts.
    EXPECT_EQ(ProgressDisplay::barLine(kSim, 2147483647, 2147483647, 2),
              "SIM           [##]  2147483647 of 2147483647 places read");
}

TEST(CliProgress, BarModeRedrawsInPlaceAndEndsEachStorageWithItsOutcome) {
    std::ostringstream out;
    ProgressDisplay display(out, ProgressDisplay::Mode::Bar);
    const auto now = ProgressDisplay::Clock::now();
    const int width = ProgressDisplay::kBarWidth;
    display.started(kMemory, 20, now);
    display.progress(10, now);
    display.progress(10, now);  // nothing new: not drawn again
    display.finished(kMemory, R::Completed);
    EXPECT_EQ(out.str(), "\r" + ProgressDisplay::barLine(kMemory, 0, 20, width) + "\r" +
                             ProgressDisplay::barLine(kMemory, 10, 20, width) + "\r" +
                             ProgressDisplay::barLine(kMemory, 10, 20, width) + "  completed\n");
    out.str("");
    display.started(kSim, 10, now);
    display.interrupt();  // a question comes
    display.interrupt();  // only one line end
    display.progress(10, now);
    display.finished(kSim, R::Cancelled);
    EXPECT_EQ(out.str(), "\r" + ProgressDisplay::barLine(kSim, 0, 10, width) + "\n\r" +
                             ProgressDisplay::barLine(kSim, 10, 10, width) + "\r" +
                             ProgressDisplay::barLine(kSim, 10, 10, width) + "  cancelled\n");
}

// Without a terminal: a line at the start, at every further tenth, after five quiet seconds,
// and at the end; quiet: nothing.
TEST(CliProgress, LinesComeAtEachTenthOrAfterFiveSecondsWhicheverIsFirst) {
    std::ostringstream lines;
    std::ostringstream quiet;
    ProgressDisplay lineDisplay(lines, ProgressDisplay::Mode::Lines);
    ProgressDisplay quietDisplay(quiet, ProgressDisplay::Mode::Quiet);
    for (ProgressDisplay* display : {&lineDisplay, &quietDisplay}) {
        const auto t0 = ProgressDisplay::Clock::now();
        display->started(kMemory, 500, t0);
        display->progress(10, t0 + 1s);    // 2 %: nothing
        display->progress(40, t0 + 2s);    // 8 %: nothing
        display->progress(50, t0 + 3s);    // 10 %: a line
        display->tick(t0 + 7s);            // 4 s since: nothing
        display->tick(t0 + 8s);            // 5 s since: a line
        display->progress(60, t0 + 12s);   // 12 %, 4 s since: nothing
        display->progress(70, t0 + 13s);   // 5 s since: a line
        display->progress(260, t0 + 13s);  // 52 %: a line
        display->progress(500, t0 + 14s);  // the end line tells the last tenth
        display->finished(kMemory, R::Completed);
        display->finished(kSim, R::Disconnected);  // it never reported its start
    }
    EXPECT_EQ(lines.str(),
              "Phone memory: reading, 0 of 500 places read\n"
              "Phone memory: reading, 50 of 500 places read\n"
              "Phone memory: reading, 50 of 500 places read\n"
              "Phone memory: reading, 70 of 500 places read\n"
              "Phone memory: reading, 260 of 500 places read\n"
              "Phone memory: completed, 500 of 500 places read\n"
              "SIM: disconnected, 0 of 0 places read\n");
    EXPECT_EQ(quiet.str(), "");
}

TEST(CliSummary, ListsPhoneStoragesFileAndCharsetWithOutsideTextEscaped) {
    ExportSummary summary;
    summary.model = "Z3\n\x1b[2J";
    summary.imei = "351234567890123";
    summary.outcome.storages = {{kMemory, true, R::Completed, 500, 500, {55, 54, 48, R::Completed}},
                                {kSim, false, R::None, 0, 0, {}}};
    summary.offered = {kMemory, kSim};
    summary.outcome.file = FileState::Saved;
    summary.path = "/home/ann/new\nline.csv";
    summary.outcome.phoneCharset = u"UCS2";
    summary.outcome.outputCharset = output_charset::Ucs2;
    EXPECT_EQ(summary.text(),
              "Phone:         Z3\\n\\x1b[2J, IMEI 351234567890123\n"
              "Phone memory:  completed, 500 of 500 places read, 54 entries in 48 contacts "
              "written\n"
              "SIM:           not chosen\n"
              "File:          /home/ann/new\\nline.csv\n"
              "Charset:       UCS2 (file in UTF-16 with byte-order mark)\n");
    summary.model.clear();
    summary.imei.clear();
    summary.outcome.storages = {{kMemory, false, R::None, 0, 0, {}},
                                {kSim, true, R::WriteError, 1, 1, {1, 1, 1, R::None}}};
    summary.offered = {kSim};
    summary.path = "/home/ann/contacts.csv";
    summary.outcome.file = FileState::LeftAsItWas;
    summary.outcome.phoneCharset = u"ASCII";
    summary.outcome.outputCharset = output_charset::Ascii;
    EXPECT_EQ(summary.text(),
              "Phone:         unknown model\n"
              "Phone memory:  the phone has none\n"
              "SIM:           write error, 1 of 1 place read, 1 entry in 1 contact written\n"
              "File:          /home/ann/contacts.csv (left as it was, as no contact was "
              "exported)\n"
              "Charset:       ASCII (file in ASCII)\n");
    EXPECT_EQ(ExportSummary::fileText(FileState::NotCreated, "/x.csv"),
              "none (no contact was exported, so /x.csv was not created)");
    summary.standardOutput = true;
    EXPECT_TRUE(summary.text().find("File:          standard output\n") != std::string::npos);
}

TEST(CliProbeReport, DescribesThePhoneAndWhatItOffers) {
    ProbeReport report;
    report.port = "/dev/ttyACM0";
    report.model = "Z3";
    report.imei = "351234567890123";
    report.state = DeviceState::ExtendedPhonebook;
    report.queried = true;
    report.charsets = {"UCS2", "UTF8\x1b]0;x\x07"};
    report.storages = {kMemory, kSim};
    EXPECT_EQ(report.text(),
              "Port:          /dev/ttyACM0\n"
              "Model:         Z3\n"
              "IMEI:          351234567890123\n"
              "Support:       extended phonebook (level 5)\n"
              "Charsets:      UCS2, UTF8\\x1b]0;x\\x07\n"
              "Storages:      phone memory (ME), SIM (SM)\n");
    report.imei.clear();
    report.model = "A\rB";
    report.state = DeviceState::Unsupported;
    report.queried = false;
    EXPECT_EQ(report.text(),
              "Port:          /dev/ttyACM0\n"
              "Model:         A\\rB\n"
              "IMEI:          unknown\n"
              "Support:       not supported (level 3)\n");
    EXPECT_EQ(ProbeReport::storagesText({}), "none");
}

// --- Output -----------------------------------------------------------------------

TEST(CliOutputCheck, FindsWhyAFileCannotBeWrittenWithoutLeavingAnything) {
    test_support::TempDir dir;
    const std::string folder = dir.path().string();
    test_support::writeFileBytes(dir.file("old.csv"), "x");
    EXPECT_FALSE(OutputFileCheck::problem(folder + "/new.csv"));
    EXPECT_FALSE(OutputFileCheck::problem(folder + "/old.csv"));
    EXPECT_EQ(OutputFileCheck::problem(folder + "/missing/new.csv").code, ENOENT);
    EXPECT_EQ(OutputFileCheck::problem(folder + "/old.csv/new.csv").code, ENOTDIR);
    EXPECT_EQ(OutputFileCheck::problem(folder).code, EISDIR);
    EXPECT_EQ(OutputFileCheck::problem(folder + "/" + std::string(300, 'n')).code, ENAMETOOLONG);
    EXPECT_FALSE(OutputFileCheck::problem("/dev/null"));
    test_support::PtyPair terminal;
    EXPECT_TRUE(OutputFileCheck::problem(terminal.slavePath()).terminal);
    // The trial leaves the folder as it found it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(test_support::readFileBytes(dir.file("old.csv")), "x");
}

TEST(CliOutput, StandardOutputIsDashOrItsNames) {
    for (const std::string name : {"-", "/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        EXPECT_TRUE(ExportCommand::isStandardOutput(name)) << name;
    }
    for (const std::string name : {"--", "-x.csv", "/dev/stderr", "/dev/fd/10", "stdout"}) {
        EXPECT_FALSE(ExportCommand::isStandardOutput(name)) << name;
    }
}

}  // namespace
