// The export session against a simulated phone, driven as the front ends drive it: its reports
// run on the test's thread, which answers its questions. Each case is one decision the session
// makes for both front ends.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ExpectedExport.h"
#include "FileSizeLimit.h"
#include "RecordingFront.h"
#include "StatisticsComparison.h"
#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/SerialPortException.h"
#include "session/ExportSession.h"
#include "tasks/PhoneManager.h"

namespace {

using namespace std::chrono_literals;
using R = ExportResult;
using Strings = std::vector<std::string>;
using session_test::RecordingFront;

// Under the two seconds of silence after which the program gives up on an answer.
constexpr auto kHold = 1800ms;

// A reaction that tells how it was answered.
class RecordingReaction final : public IExportInterruptionReaction {
public:
    explicit RecordingReaction(std::string& answer) : answer_(answer) {}
    void retry() override { answer_ = "retry"; }
    void abort() override { answer_ = "abort"; }

private:
    std::string& answer_;
};

// A simulated phone, its phone manager and an export session, exporting into contacts.csv in
// the Google layout, UTF-8.
class SessionRig {
public:
    explicit SessionRig(
        phonesim::Scenario scenario = phonesim::BuiltInScenarios::load("standard-ucs2"))
        : phone(std::move(scenario)),
          manager(std::make_unique<PhoneManager>(text_codec::fromUtf8(phone.portPath()), false)) {}
    ~SessionRig() {
        session.release();
        manager.reset();
    }

    void start(std::vector<StorageKind> storages) {
        ExportPlan plan;
        plan.storages = std::move(storages);
        plan.path = text_codec::fromUtf8(path.string());
        plan.outputCharset = output_charset::Utf8;
        session.start(*manager, plan, front, front.poster());
    }

    export_test::ExpectedContacts contacts(const std::string& storage, int first = 0,
                                           int last = 1 << 30) const {
        return export_test::expectedContacts(phone.scenario(), storage, false, first, last);
    }
    static std::string fileOf(const export_test::ExpectedContacts& contacts) {
        return export_test::expectedFile("standard-ucs2", contacts, OutputFormat::GoogleCsv,
                                         output_charset::Utf8);
    }
    std::string written() const { return test_support::readFileBytes(path); }

    phonesim::Simulator phone;
    test_support::TempDir dir;
    const std::filesystem::path path = dir.file("contacts.csv");
    ExportSession session;  // before the manager, which reports to it
    RecordingFront front{session};
    std::unique_ptr<PhoneManager> manager;
};

const auto noRetry = [](const FileProblem&) { return false; };

TEST(ExportSession, ExportsTheStoragesInOrderAndSummarisesThem) {
    SessionRig rig;
    test_support::writeFileBytes(rig.path, "old");
    rig.start({StorageKind::Memory, StorageKind::Sim});
    EXPECT_TRUE(rig.session.running());
    ASSERT_TRUE(rig.front.runUntilEnded());
    EXPECT_FALSE(rig.session.running());
    EXPECT_EQ(rig.front.events, (Strings{"started ME 200", "finished ME completed",
                                         "started SM 100", "finished SM completed", "ended"}));
    EXPECT_EQ(rig.front.lastPosition, 100);
    EXPECT_EQ(rig.written(), "old") << "the file takes its place only when finished";

    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::Saved);
    EXPECT_EQ(rig.written(),
              rig.fileOf(export_test::joined(rig.contacts("ME"), rig.contacts("SM"))));
    const ExportOutcome outcome = rig.session.outcome();
    ASSERT_EQ(outcome.storages.size(), 2u);
    const auto memoryContacts = static_cast<std::int32_t>(rig.contacts("ME").size());
    const StorageOutcome& memory = outcome.storages[0];
    EXPECT_EQ(memory.kind, StorageKind::Memory);
    EXPECT_TRUE(memory.chosen);
    EXPECT_EQ(memory.result, R::Completed);
    EXPECT_EQ(memory.places, 200);
    EXPECT_EQ(memory.placesRead, 200);
    EXPECT_EQ(memory.statistics.contactsWritten, memoryContacts);
    EXPECT_EQ(memory.statistics.entriesRead, export_test::entriesOf(rig.contacts("ME")));
    EXPECT_EQ(outcome.storages[1].kind, StorageKind::Sim);
    EXPECT_EQ(outcome.results(), (std::vector<R>{R::Completed, R::Completed}));
    EXPECT_EQ(outcome.file, FileState::Saved);
    EXPECT_EQ(outcome.phoneCharset, u"UCS2");
    EXPECT_FALSE(outcome.stopped);
}

TEST(ExportSession, AWriteErrorIsAskedOnceAndRetriedWritesNoRowTwice) {
    SessionRig rig;
    const std::string whole =
        rig.fileOf(export_test::joined(rig.contacts("ME"), rig.contacts("SM")));
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(whole.size() / 2);
    rig.front.beforeAnswer = [&limit] { limit.reset(); };  // room again
    rig.front.answers = {true};
    rig.start({StorageKind::Memory, StorageKind::Sim});
    ASSERT_TRUE(rig.front.runUntilEnded());
    limit.reset();
    EXPECT_EQ(rig.front.events, (Strings{"started ME 200", "write failed", "finished ME completed",
                                         "started SM 100", "finished SM completed", "ended"}));
    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::Saved);
    EXPECT_EQ(rig.written(), whole);
}

TEST(ExportSession, AWriteErrorGivenUpEndsTheWholeExportKeepingWholeRows) {
    SessionRig rig;
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(rig.fileOf(rig.contacts("ME")).size() / 2);
    rig.front.answers = {false};
    rig.start({StorageKind::Memory, StorageKind::Sim});
    ASSERT_TRUE(rig.front.runUntilEnded());
    limit.reset();
    EXPECT_EQ(rig.front.events,
              (Strings{"started ME 200", "write failed", "finished ME write error",
                       "finished SM cancelled", "ended"}));
    const ExportOutcome outcome = rig.session.outcome();
    EXPECT_EQ(outcome.results(), (std::vector<R>{R::WriteError, R::None}));
    EXPECT_EQ(outcome.storages[1].shownResult(), R::Cancelled) << "never reached";
    EXPECT_EQ(outcome.storages[1].statistics, ExportStatistics{});
    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::Saved);
    auto kept = rig.contacts("ME");
    kept.resize(static_cast<std::size_t>(outcome.storages[0].statistics.contactsWritten));
    EXPECT_EQ(rig.written(), rig.fileOf(kept));
}

TEST(ExportSession, AStopCutsNoRowEndsAsCancelledAndGivesUpLaterQuestions) {
    SessionRig rig;
    auto gate = rig.phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), kHold);
    rig.start({StorageKind::Memory, StorageKind::Sim});
    ASSERT_TRUE(gate->waitUntilHeld(10s));
    rig.session.stop();
    gate->release();
    ASSERT_TRUE(rig.front.runUntilEnded());
    EXPECT_EQ(rig.front.events, (Strings{"started ME 200", "finished ME cancelled",
                                         "finished SM cancelled", "ended"}));
    const ExportOutcome outcome = rig.session.outcome();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.results(), (std::vector<R>{R::Cancelled, R::None}));

    // A question after the stop is given up at once, and nobody is asked.
    std::string answer;
    rig.session.onExportInterrupted(true, std::make_unique<RecordingReaction>(answer));
    EXPECT_EQ(answer, "abort");
    EXPECT_FALSE(rig.session.writeErrorPending());

    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::Saved);
    EXPECT_EQ(rig.written(), rig.fileOf(rig.contacts("ME", 1, 10)));
}

TEST(ExportSession, AnUnpluggedPhoneEndsItsStorageAsDisconnectedKeepingWhatWasRead) {
    phonesim::Scenario scenario = phonesim::BuiltInScenarios::load("standard-ucs2");
    scenario.behaviour.unplugAfterReads = 2;  // the third block finds the phone gone
    SessionRig rig(std::move(scenario));
    rig.start({StorageKind::Memory, StorageKind::Sim});
    ASSERT_TRUE(rig.front.runUntilEnded());
    ASSERT_GE(rig.front.events.size(), 3u);
    EXPECT_EQ(rig.front.events[1], "finished ME disconnected");
    EXPECT_EQ(rig.front.events.back(), "ended");
    const ExportOutcome outcome = rig.session.outcome();
    EXPECT_EQ(outcome.results().front(), R::Disconnected);
    EXPECT_TRUE(serial_comm::isPhoneGoneError(outcome.storages[0].portError))
        << outcome.storages[0].portError;
    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::Saved);
    EXPECT_EQ(rig.written(), rig.fileOf(rig.contacts("ME", 1, 20)));
}

// Exports the SIM while a folder that is not empty comes to stand where the file is to go.
void exportWithTheWayBlocked(SessionRig& rig) {
    auto gate = rig.phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=1,10"), kHold);
    rig.start({StorageKind::Sim});
    ASSERT_TRUE(gate->waitUntilHeld(10s));
    std::filesystem::create_directories(rig.path / "in the way");
    gate->release();
    ASSERT_TRUE(rig.front.runUntilEnded());
}

TEST(ExportSession, AFileThatCannotTakeItsPlaceIsAskedAboutUntilItCanOrIsGivenUp) {
    SessionRig rig;
    ASSERT_NO_FATAL_FAILURE(exportWithTheWayBlocked(rig));

    std::vector<FileProblem> problems;
    const FileState given = rig.session.finishFile([&](const FileProblem& problem) {
        problems.push_back(problem);
        return problems.size() < 2;  // retry once, then give up
    });
    EXPECT_EQ(given, FileState::NotReplaced);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].code, 0);
    EXPECT_TRUE(std::filesystem::is_directory(rig.path / "in the way"));
    EXPECT_EQ(rig.session.outcome().results(), (std::vector<R>{R::Completed, R::WriteError}))
        << "a file not put in place counts as a write error";
    EXPECT_EQ(rig.session.finishFile([](const FileProblem&) -> bool {
        ADD_FAILURE() << "asked again after giving up";
        return false;
    }),
              FileState::NotReplaced);
}

TEST(ExportSession, ARetryPutsTheFileInPlaceOnceTheWayIsFree) {
    SessionRig rig;
    ASSERT_NO_FATAL_FAILURE(exportWithTheWayBlocked(rig));
    int asked = 0;
    EXPECT_EQ(rig.session.finishFile([&](const FileProblem&) {
        ++asked;
        std::filesystem::remove_all(rig.path);
        return true;
    }),
              FileState::Saved);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(rig.written(), rig.fileOf(rig.contacts("SM")));
}

TEST(ExportSession, AnExportThatWroteNothingCreatesNoFile) {
    phonesim::Scenario scenario = phonesim::BuiltInScenarios::load("standard-ucs2");
    scenario.behaviour.unplugAt.push_back(phonesim::CommandPattern("AT+CPBR=1,10"));
    SessionRig rig(std::move(scenario));
    rig.start({StorageKind::Memory});
    ASSERT_TRUE(rig.front.runUntilEnded());
    EXPECT_EQ(rig.session.finishFile(noRetry), FileState::NotCreated);
    EXPECT_FALSE(std::filesystem::exists(rig.path));
    EXPECT_EQ(std::filesystem::directory_iterator(rig.dir.path()),
              std::filesystem::directory_iterator())
        << "no working file is left behind";
}

// A front end that goes away while the worker waits for its answer must not leave the worker
// waiting: the phone can still be closed.
TEST(ExportSession, ReleasingThePhoneGivesUpTheQuestionTheWorkerWaitsOn) {
    SessionRig rig;
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(100);
    rig.start({StorageKind::Memory, StorageKind::Sim});
    // The question arrives and is left open.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!rig.session.writeErrorPending() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(rig.session.writeErrorPending());
    rig.session.release();
    limit.reset();
    EXPECT_FALSE(rig.session.writeErrorPending());
    const auto begin = std::chrono::steady_clock::now();
    rig.manager.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
    EXPECT_FALSE(rig.front.runUntilEnded(100ms)) << "no report reaches a released front end";
}

}  // namespace
