#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include "TempDir.h"
#include "charsets/CharsetChoice.h"
#include "cli/ExitStatus.h"
#include "cli/ExportSummary.h"
#include "cli/OutputFileCheck.h"
#include "cli/ProbeReport.h"
#include "cli/ProgressDisplay.h"
#include "cli/UserMessages.h"
#include "common/StorageKind.h"

namespace {

using R = ExportResult;

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

TEST(CliProgress, BarFillsWithThePositionAndClampsWhatIsOutOfRange) {
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Memory, 250, 500, 10),
              "Phone memory  [#####.....]  250/500");
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Sim, 0, 250, 4),
              "SIM           [....]  0/250");
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Sim, 300, 250, 4),
              "SIM           [####]  250/250");
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Sim, 5, 0, 4), "SIM           [....]  0/0");
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Sim, -3, -7, 4), "SIM           [....]  0/0");
    // No overflow on the largest counts.
    EXPECT_EQ(ProgressDisplay::barLine(storage_kind::Sim, 2147483647, 2147483647, 2),
              "SIM           [##]  2147483647/2147483647");
}

TEST(CliProgress, BarModeRedrawsInPlaceAndEndsEachStorageWithItsResult) {
    std::ostringstream out;
    ProgressDisplay display(out, ProgressDisplay::Mode::Bar);
    display.started(storage_kind::Memory, 20);
    display.progress(10);
    display.progress(10);  // nothing new: not drawn again
    display.finished(storage_kind::Memory, R::Completed);
    const std::string empty(ProgressDisplay::kBarWidth, '.');
    const std::string half = std::string(ProgressDisplay::kBarWidth / 2, '#') +
                             std::string(ProgressDisplay::kBarWidth / 2, '.');
    const std::string full(ProgressDisplay::kBarWidth, '#');
    EXPECT_EQ(out.str(), "\rPhone memory  [" + empty + "]  0/20" + "\rPhone memory  [" + half +
                             "]  10/20" + "\rPhone memory  [" + half + "]  10/20  completed\n");
    out.str("");
    display.started(storage_kind::Sim, 10);
    display.interrupt();  // a question comes
    display.interrupt();  // only one line end
    display.progress(10);
    display.finished(storage_kind::Sim, R::Cancelled);
    EXPECT_EQ(out.str(), "\rSIM           [" + empty + "]  0/10\n" + "\rSIM           [" + full +
                             "]  10/10" + "\rSIM           [" + full + "]  10/10  cancelled\n");
}

TEST(CliProgress, LineModeWritesOneLinePerStorageAndQuietNothing) {
    std::ostringstream lines;
    std::ostringstream quiet;
    ProgressDisplay lineDisplay(lines, ProgressDisplay::Mode::Lines);
    ProgressDisplay quietDisplay(quiet, ProgressDisplay::Mode::Quiet);
    for (ProgressDisplay* display : {&lineDisplay, &quietDisplay}) {
        display->started(storage_kind::Memory, 500);
        display->progress(250);
        display->progress(500);
        display->finished(storage_kind::Memory, R::Completed);
        // A storage that failed before it reported its start.
        display->finished(storage_kind::Sim, R::Disconnected);
        display->interrupt();
    }
    EXPECT_EQ(lines.str(),
              "Phone memory: completed, 500 of 500 positions read\n"
              "SIM: disconnected, 0 of 0 positions read\n");
    EXPECT_EQ(quiet.str(), "");
}

TEST(CliSummary, StatusTextsFollowTheResults) {
    EXPECT_EQ(ExportSummary::statusText(R::None), "cancelled");
    EXPECT_EQ(ExportSummary::statusText(R::Cancelled), "cancelled");
    EXPECT_EQ(ExportSummary::statusText(R::Completed), "completed");
    EXPECT_EQ(ExportSummary::statusText(R::WriteError), "write error");
    EXPECT_EQ(ExportSummary::statusText(R::Failed), "failed");
    EXPECT_EQ(ExportSummary::statusText(R::Disconnected), "failed");
}

TEST(CliSummary, ListsPhoneStoragesFileAndCharset) {
    ExportSummary summary;
    summary.model = "Z3";
    summary.imei = "351234567890123";
    summary.storages = {{storage_kind::Memory, true, {55, 54, 48, R::Completed}},
                        {storage_kind::Sim, false, {}}};
    summary.path = "/home/ann/contacts.csv";
    summary.charsetName = "UCS2";
    summary.outputCharset = output_charset::Ucs2;
    EXPECT_EQ(summary.text(),
              "Phone:         Z3, IMEI 351234567890123\n"
              "Phone memory:  completed, 48 contacts written, 54 of 55 entries read\n"
              "SIM:           not chosen\n"
              "File:          /home/ann/contacts.csv\n"
              "Charset:       UCS2 (file in UTF-16 with byte-order mark)\n");
    summary.model.clear();
    summary.imei.clear();
    summary.storages = {{storage_kind::Sim, true, {1, 1, 1, R::WriteError}}};
    summary.charsetName = "ASCII";
    summary.outputCharset = output_charset::Ascii;
    EXPECT_EQ(summary.text(),
              "Phone:         unknown model\n"
              "SIM:           write error, 1 contact written, 1 of 1 entries read\n"
              "File:          /home/ann/contacts.csv\n"
              "Charset:       ASCII (file in ASCII)\n");
}

TEST(CliProbeReport, DescribesThePhoneAndWhatItOffers) {
    ProbeReport report;
    report.port = "/dev/ttyACM0";
    report.model = "Z3";
    report.imei = "351234567890123";
    report.state = DeviceState::ExtendedPhonebook;
    report.queried = true;
    report.charsets = {"UCS2", "UTF8"};
    report.storages = {storage_kind::Memory, storage_kind::Sim};
    EXPECT_EQ(report.text(),
              "Port:          /dev/ttyACM0\n"
              "Model:         Z3\n"
              "IMEI:          351234567890123\n"
              "Support:       extended phonebook (level 5)\n"
              "Charsets:      UCS2, UTF8\n"
              "Storages:      phone memory (ME), SIM (SM)\n");
    report.imei.clear();
    report.state = DeviceState::Unsupported;
    report.queried = false;
    EXPECT_EQ(report.text(),
              "Port:          /dev/ttyACM0\n"
              "Model:         Z3\n"
              "IMEI:          unknown\n"
              "Support:       not supported (level 3)\n");
    EXPECT_EQ(ProbeReport::supportText(DeviceState::StandardPhonebook),
              "standard phonebook (level 4)");
    EXPECT_EQ(ProbeReport::storagesText({}), "none");
    EXPECT_EQ(ProbeReport::storagesText({storage_kind::Sim}), "SIM (SM)");
}

TEST(CliMessages, PortProblemsNameThePortTheCauseAndTheWayOut) {
    const std::string port = "/dev/ttyACM0";
    const std::string missing = UserMessages::portNotOpened(port, ENOENT);
    EXPECT_TRUE(contains(missing, port) && contains(missing, "no such port")) << missing;
    const std::string denied = UserMessages::portNotOpened(port, EACCES);
    EXPECT_TRUE(contains(denied, "dialout")) << denied;
    for (const int busy : {EWOULDBLOCK, EBUSY}) {
        const std::string held = UserMessages::portNotOpened(port, busy);
        EXPECT_TRUE(contains(held, "Another program") && contains(held, "modem manager") &&
                    contains(held, "70-contaxio-phone.rules"))
            << held;
    }
    EXPECT_TRUE(contains(UserMessages::portNotOpened(port, ENOTTY), "not a serial port"));
    EXPECT_TRUE(contains(UserMessages::portNotOpened(port, 0), "cannot be opened"));
    EXPECT_TRUE(contains(UserMessages::portFailed(port, EIO), "disconnected"));
    EXPECT_TRUE(contains(UserMessages::portFailed(port, ENODEV), "disconnected"));
    const std::string other = UserMessages::portFailed(port, EINVAL);
    EXPECT_TRUE(contains(other, port) && contains(other, "Invalid argument")) << other;
    EXPECT_FALSE(contains(other, "errno")) << other;
}

TEST(CliMessages, OutputProblemsByCause) {
    const std::string path = "/nowhere/sub/out.csv";
    const std::string missing = UserMessages::outputProblem(path, ENOENT);
    EXPECT_TRUE(contains(missing, "/nowhere/sub") && contains(missing, "does not exist") &&
                contains(missing, "--output"))
        << missing;
    EXPECT_TRUE(contains(UserMessages::outputProblem(path, EACCES), "permission denied"));
    EXPECT_TRUE(contains(UserMessages::outputProblem(path, EROFS), "read-only"));
    EXPECT_TRUE(contains(UserMessages::outputProblem(path, EISDIR), "is a folder"));
    EXPECT_TRUE(contains(UserMessages::outputProblem(path, ENOSPC), "disk is full"));
    EXPECT_TRUE(contains(UserMessages::outputProblem(path, EMLINK), "Too many links"));
    EXPECT_TRUE(contains(UserMessages::writeFailed(path, true, 0), "disk is full"));
    EXPECT_TRUE(contains(UserMessages::writeFailed(path, false, ENOENT), "does not exist"));
    EXPECT_TRUE(contains(UserMessages::writeFailed(path, false, 0), "size limit"));
}

TEST(CliOutputCheck, FindsWhyAFileCannotBeWritten) {
    test_support::TempDir dir;
    const std::string folder = dir.path().string();
    EXPECT_EQ(OutputFileCheck::problem(folder + "/new.csv"), 0);
    std::ofstream(folder + "/old.csv") << "x";
    EXPECT_EQ(OutputFileCheck::problem(folder + "/old.csv"), 0);
    EXPECT_EQ(OutputFileCheck::problem(folder + "/missing/new.csv"), ENOENT);
    EXPECT_EQ(OutputFileCheck::problem(folder + "/old.csv/new.csv"), ENOTDIR);
    EXPECT_EQ(OutputFileCheck::problem(folder), EISDIR);
    EXPECT_EQ(OutputFileCheck::problem(folder + "/"), EISDIR);
    EXPECT_EQ(OutputFileCheck::folderOf("new.csv"), ".");
    EXPECT_EQ(OutputFileCheck::folderOf("a/b/new.csv"), "a/b");
}

}  // namespace
