#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "ExportSinks.h"
#include "FileSizeLimit.h"
#include "StatisticsComparison.h"
#include "TempDir.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "export/FileAccessException.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/SerialPortException.h"
#include "tasks/PhoneManager.h"

namespace {

using namespace std::chrono_literals;
using export_test::expectedContacts;
using export_test::expectedFile;
using export_test::QuestionSink;
using export_test::RecordingCharsetsSink;
using export_test::RecordingExportSink;
using export_test::RecordingStoragesSink;
using export_test::scenarioFrom;
using serial_comm::SerialPortException;
using Strings = std::vector<std::string>;
using Kinds = std::vector<StorageKind>;
using Clock = std::chrono::steady_clock;

constexpr StorageKind kMemory = StorageKind::Memory;
constexpr StorageKind kSim = StorageKind::Sim;

std::u16string u16(const std::filesystem::path& path) {
    return text_codec::fromUtf8(path.string());
}

// A simulated phone and a phone manager on its port, with sinks that record what the manager
// reports. The sinks outlive the manager.
class ManagerRig {
public:
    explicit ManagerRig(phonesim::Scenario scenario, bool extended = false, bool otherMaker = false)
        : phone(std::move(scenario)),
          manager(std::make_unique<PhoneManager>(text_codec::fromUtf8(phone.portPath()), extended,
                                                 otherMaker)) {
        afterConstruction = phone.transcript().size();
        manager->setPath(u16(path));
        manager->setFormat(OutputFormat::GoogleCsv);
        manager->setOutputCharset(output_charset::Utf8);
    }

    void start(const Kinds& storages, const std::u16string& charsetName = u"UCS2") {
        manager->startExport(storages, charsetName, exportSink, questions);
    }

    // The commands sent since the manager was made.
    Strings commands() const { return phone.transcriptSince(afterConstruction); }

    // The output file once the export is finished (the new file put in place, or the old one
    // left).
    std::string file() {
        manager->finishExport();
        return test_support::readFileBytes(path);
    }

    ExportStatistics statistics(StorageKind kind) const { return manager->exportStatistics(kind); }

    phonesim::Simulator phone;
    test_support::TempDir dir;
    const std::filesystem::path path = dir.file("contacts.csv");
    RecordingExportSink exportSink;
    QuestionSink questions;
    RecordingStoragesSink storagesSink;
    RecordingCharsetsSink charsetsSink;
    std::size_t afterConstruction = 0;
    std::unique_ptr<PhoneManager> manager;  // last: gone before the sinks
};

std::size_t indexOf(const Strings& commands, const std::string& command) {
    return static_cast<std::size_t>(std::find(commands.begin(), commands.end(), command) -
                                    commands.begin());
}

// The file an export of the standard phone's contacts writes in the Google layout in UTF-8.
std::string googleFile(const export_test::ExpectedContacts& contacts) {
    return expectedFile("standard-ucs2", contacts, OutputFormat::GoogleCsv, output_charset::Utf8);
}

phonesim::Scenario standardPhone() {
    return phonesim::BuiltInScenarios::load("standard-ucs2");
}

// --- Construction -------------------------------------------------------------------------

Strings commandsOfConstruction(const std::string& scenario) {
    phonesim::Simulator phone(scenarioFrom(scenario));
    const PhoneManager manager(text_codec::fromUtf8(phone.portPath()), false);
    return phone.transcript();
}

TEST(PhoneManagerTest, APhoneInModeZeroIsOnlySwitchedToModeTwo) {
    const auto begin = Clock::now();
    EXPECT_EQ(commandsOfConstruction("[phone]\nmode = 0\n[storage ME]\n"),
              (Strings{"AT+MODE?", "AT+MODE=2"}));
    EXPECT_GE(Clock::now() - begin, 500ms);
}

TEST(PhoneManagerTest, APhoneInModeTwoGoesThroughModeZero) {
    const auto begin = Clock::now();
    EXPECT_EQ(commandsOfConstruction("[phone]\nmode = 2\n[storage ME]\n"),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
    EXPECT_GE(Clock::now() - begin, 1000ms);
}

TEST(PhoneManagerTest, APhoneThatDoesNotTellItsModeGoesThroughModeZero) {
    EXPECT_EQ(commandsOfConstruction("[phone]\nmode = 0\n[storage ME]\n[behaviour]\n"
                                     "silent = AT+MODE?\n"),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
}

TEST(PhoneManagerTest, APhoneAnsweringItsModeWithABareOkGoesThroughModeZero) {
    EXPECT_EQ(commandsOfConstruction("[phone]\nmode = 0\n[storage ME]\n[behaviour]\n"
                                     "answer = AT+MODE? -> \"\\r\\nOK\\r\\n\"\n"),
              (Strings{"AT+MODE?", "AT+MODE=0", "AT+MODE=2"}));
}

TEST(PhoneManagerTest, APortThatCannotBeHadThrowsCodeZero) {
    test_support::TempDir dir;
    try {
        PhoneManager manager(u16(dir.file("no-such-port")), false);
        FAIL() << "a missing port was opened";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
        EXPECT_EQ(e.openError(), ENOENT);
    }

    phonesim::Simulator phone(standardPhone());
    const std::u16string port = text_codec::fromUtf8(phone.portPath());
    PhoneManager holder(port, false);
    try {
        PhoneManager second(port, false);
        FAIL() << "the port was had twice";
    } catch (const SerialPortException& e) {
        EXPECT_EQ(e.code(), 0);
        EXPECT_NE(e.openError(), 0);
    }
}

TEST(PhoneManagerTest, APhoneGoneDuringTheModeSwitchFailsConstruction) {
    phonesim::Simulator phone(scenarioFrom("[storage ME]\n[behaviour]\nunplug-at = AT+MODE=2\n"));
    try {
        PhoneManager manager(text_codec::fromUtf8(phone.portPath()), false);
        FAIL() << "the manager was made without a phone";
    } catch (const SerialPortException& e) {
        EXPECT_TRUE(e.phoneGone()) << e.what();
    }
}

// --- Whole exports ------------------------------------------------------------------------

TEST(PhoneManagerTest, ExportsBothStoragesOfAStandardPhoneIntoOneFile) {
    ManagerRig rig(standardPhone());
    rig.manager->requestStorages(rig.storagesSink);
    rig.manager->requestCharsets(rig.charsetsSink);
    ASSERT_TRUE(rig.storagesSink.waitForAnswers());
    EXPECT_EQ(rig.storagesSink.answers(), std::vector<Kinds>{Kinds({kMemory, kSim})});

    rig.start({kMemory, kSim});
    // The completion page reads the statistics after the end; reading them meanwhile is safe.
    const auto deadline = Clock::now() + 20s;
    while (!rig.exportSink.waitForFinished(2, 1ms)) {
        ASSERT_LT(Clock::now(), deadline) << "the export did not end";
        ASSERT_LE(rig.statistics(kMemory).contactsWritten, 10);
    }

    EXPECT_EQ(rig.charsetsSink.answers(), std::vector<std::vector<std::u16string>>{{u"UCS2"}});
    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin(), commands.begin() + 4),
              (Strings{"AT+CPBS=?", "AT+CSCS=?", "AT+CSCS=\"UCS2\"", "AT+CPBS=\"ME\""}));
    EXPECT_LT(indexOf(commands, "AT+CPBR=191,200"), indexOf(commands, "AT+CPBS=\"SM\""));
    EXPECT_EQ(commands.back(), "AT+CPBR=91,100");

    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1,10,200)", "finished(1)", "started(2,3,100)", "finished(1)"}));
    std::vector<std::int32_t> positions;
    for (int p = 10; p <= 200; p += 10)
        positions.push_back(p);
    for (int p = 10; p <= 100; p += 10)
        positions.push_back(p);
    EXPECT_EQ(rig.exportSink.positions(), positions);

    EXPECT_EQ(rig.statistics(kMemory), (ExportStatistics{10, 10, 10, ExportResult::Completed}));
    EXPECT_EQ(rig.statistics(kSim), (ExportStatistics{3, 3, 3, ExportResult::Completed}));
    const phonesim::Scenario& phone = rig.phone.scenario();
    EXPECT_EQ(rig.file(), googleFile(export_test::joined(expectedContacts(phone, "ME", false),
                                                         expectedContacts(phone, "SM", false))));
}

// Another maker's phone with its habits: no mode command, errors as +CME ERROR on every empty
// window, bare hexadecimal names padded with blanks, unsolicited codes between and inside the
// answers. Its charsets are those the program reads from other makers' phones.
TEST(PhoneManagerTest, AnotherMakersPhoneGetsNoModeCommandAndIsExportedWhole) {
    ManagerRig rig(phonesim::BuiltInScenarios::load("other-maker"), false, true);
    EXPECT_TRUE(rig.phone.transcript().empty());
    EXPECT_EQ(rig.manager->maker(), PhoneMaker::Other);
    rig.manager->requestCharsets(rig.charsetsSink);
    rig.manager->requestStorages(rig.storagesSink);
    ASSERT_TRUE(rig.storagesSink.waitForAnswers());
    const std::vector<std::u16string> readable{u"UCS2", u"GSM", u"IRA"};
    EXPECT_EQ(rig.charsetsSink.answers(), std::vector<std::vector<std::u16string>>{readable});
    EXPECT_EQ(rig.storagesSink.answers(), std::vector<Kinds>{Kinds({kSim, kMemory})});

    rig.start({kMemory, kSim});
    ASSERT_TRUE(rig.exportSink.waitForFinished(2, 20s));
    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1,4,100)", "finished(1)", "started(2,5,250)", "finished(1)"}));
    for (const std::string& command : rig.phone.transcript())
        EXPECT_FALSE(command.starts_with("AT+MODE")) << command;
    const phonesim::Scenario& phone = rig.phone.scenario();
    EXPECT_EQ(rig.file(), expectedFile("other-maker",
                                       export_test::joined(expectedContacts(phone, "ME", false),
                                                           expectedContacts(phone, "SM", false)),
                                       OutputFormat::GoogleCsv, output_charset::Utf8));
}

TEST(PhoneManagerTest, ExportsAnExtendedPhoneWithGroupsAndMergedEntries) {
    ManagerRig rig(phonesim::BuiltInScenarios::demo(), true);
    rig.manager->setFormat(OutputFormat::OutlookCsv);
    rig.manager->setOutputCharset(output_charset::Ucs2);
    rig.start({kMemory, kSim});
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));

    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin(), commands.begin() + 7),
              (Strings{"AT+CSCS=\"UCS2\"", "AT+CPBS=\"ME\"", "AT+CPBS?", "AT+MPGR=?",
                       "AT+MPGR=1,10", "AT+MPBRE=?", "AT+MPBRE=1,10"}));
    EXPECT_LT(indexOf(commands, "AT+MPBRE=491,500"), indexOf(commands, "AT+CPBS=\"SM\""));

    const phonesim::Scenario& phone = rig.phone.scenario();
    const auto memory = expectedContacts(phone, "ME", true);
    const auto sim = expectedContacts(phone, "SM", true);
    ASSERT_FALSE(memory.empty());
    ASSERT_FALSE(sim.empty());
    const auto memoryCount = static_cast<std::int32_t>(memory.size());
    const auto simCount = static_cast<std::int32_t>(sim.size());
    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1," + std::to_string(memoryCount) + ",500)", "finished(1)",
                       "started(2," + std::to_string(simCount) + ",250)", "finished(1)"}));
    const std::int32_t memoryEntries = export_test::entriesOf(memory);
    EXPECT_GT(memoryEntries, memoryCount);  // several numbers per person
    EXPECT_EQ(rig.statistics(kMemory), (ExportStatistics{memoryEntries, memoryEntries, memoryCount,
                                                         ExportResult::Completed}));
    const std::int32_t simEntries = export_test::entriesOf(sim);
    EXPECT_EQ(rig.statistics(kSim), (ExportStatistics{std::max(simCount, simEntries), simEntries,
                                                      simCount, ExportResult::Completed}));
    EXPECT_EQ(rig.file(), expectedFile("demo", export_test::joined(memory, sim),
                                       OutputFormat::OutlookCsv, output_charset::Ucs2));
}

TEST(PhoneManagerTest, SuccessiveExportsStartAfreshAndAFileThatCannotBeMadeChangesNothing) {
    phonesim::Scenario scenario = standardPhone();
    scenario.storage("SM")->contacts.clear();
    // The charset selection is refused; the export goes on all the same.
    scenario.behaviour.failing.push_back(phonesim::CommandPattern("AT+CSCS=\"UCS2\""));
    ManagerRig rig(std::move(scenario));

    // No storage: the file is made and the charset chosen, but nobody hears of an export.
    rig.start({});
    rig.manager->requestStorages(rig.storagesSink);
    ASSERT_TRUE(rig.storagesSink.waitForAnswers());
    EXPECT_EQ(rig.commands(), (Strings{"AT+CSCS=\"UCS2\"", "AT+CPBS=?"}));
    EXPECT_TRUE(rig.exportSink.events().empty());
    EXPECT_EQ(rig.file(), googleFile({}));

    // An empty storage: started and completed, no header.
    rig.start({kSim});
    ASSERT_TRUE(rig.exportSink.waitForFinished(1));
    EXPECT_EQ(rig.exportSink.startsAndFinishes(), (Strings{"started(2,0,100)", "finished(1)"}));
    EXPECT_EQ(rig.statistics(kSim), (ExportStatistics{0, 0, 0, ExportResult::Completed}));
    EXPECT_EQ(rig.statistics(kMemory), ExportStatistics{});
    EXPECT_EQ(rig.file(), googleFile({}));

    // A folder that does not exist: nothing is queued and the statistics stay.
    const std::size_t sent = rig.phone.transcript().size();
    rig.manager->setPath(u16(rig.dir.file("missing") / "contacts.csv"));
    EXPECT_THROW(rig.start({kMemory}), FileAccessException);
    rig.manager->requestStorages(rig.storagesSink);
    ASSERT_TRUE(rig.storagesSink.waitForAnswers(2));
    EXPECT_EQ(rig.phone.transcriptSince(sent), Strings{"AT+CPBS=?"});
    EXPECT_EQ(rig.statistics(kSim), (ExportStatistics{0, 0, 0, ExportResult::Completed}));

    // Once the folder exists, the export runs with fresh statistics.
    std::filesystem::create_directory(rig.dir.file("missing"));
    rig.start({kMemory});
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));
    EXPECT_EQ(rig.statistics(kMemory).result, ExportResult::Completed);
    EXPECT_EQ(rig.statistics(kMemory).contactsWritten, 10);
    EXPECT_EQ(rig.statistics(kSim), ExportStatistics{});
}

// --- Pause, stop and failures during an export -----------------------------------------------

// The contacts of the standard phone's memory at indexes 1 to 10: the first block.
constexpr std::int32_t kFirstBlockContacts = 7;

export_test::ExpectedContacts firstBlockOf(const ManagerRig& rig) {
    return expectedContacts(rig.phone.scenario(), "ME", false, 1, 10);
}

// Starts an export of both storages and returns once the phone holds its answer to the second
// block of the memory, so that the test acts while the export waits for it.
std::shared_ptr<phonesim::AnswerGate> startAndHoldSecondBlock(ManagerRig& rig) {
    auto gate = rig.phone.holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), 1500ms);
    rig.start({kMemory, kSim});
    EXPECT_TRUE(gate->waitUntilHeld(10s));
    return gate;
}

// --- The output file ------------------------------------------------------------------------

// A file already at the path keeps its bytes while the export runs, and afterwards unless the
// export wrote a contact or completed.
TEST(PhoneManagerTest, AnExistingFileIsReplacedOnlyByAnExportThatWroteOrCompleted) {
    const std::string old = "\xEF\xBB\xBFName,Given Name\r\n\"Kept\",\r\n";
    phonesim::Scenario scenario = standardPhone();
    scenario.behaviour.unplugAt.push_back(phonesim::CommandPattern("AT+CPBR=1,10"));
    ManagerRig rig(std::move(scenario));
    test_support::writeFileBytes(rig.path, old);
    EXPECT_EQ(rig.manager->finishExport(), ExportFileOutcome::NoFile) << "no export yet";

    // Unplugged before the first block: nothing was written, the old file stays.
    rig.start({kMemory, kSim});
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));
    EXPECT_EQ(rig.manager->finishExport(), ExportFileOutcome::Unchanged);
    EXPECT_EQ(rig.manager->finishExport(), ExportFileOutcome::Unchanged);
    EXPECT_EQ(test_support::readFileBytes(rig.path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no working file is left behind";
}

TEST(PhoneManagerTest, TheOldFileStaysUntilTheExportIsFinished) {
    const std::string old = "old contents";
    ManagerRig rig(standardPhone());
    test_support::writeFileBytes(rig.path, old);
    auto gate = startAndHoldSecondBlock(rig);
    EXPECT_EQ(test_support::readFileBytes(rig.path), old) << "first block written meanwhile";
    gate->release();
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));
    EXPECT_EQ(test_support::readFileBytes(rig.path), old);
    EXPECT_EQ(rig.manager->finishExport(), ExportFileOutcome::Saved);
    const phonesim::Scenario& phone = rig.phone.scenario();
    EXPECT_EQ(test_support::readFileBytes(rig.path),
              googleFile(export_test::joined(expectedContacts(phone, "ME", false),
                                             expectedContacts(phone, "SM", false))));
}

TEST(PhoneManagerTest, APausedExportWaitsUntilResumed) {
    ManagerRig rig(standardPhone());
    auto gate = startAndHoldSecondBlock(rig);
    rig.manager->pause();
    gate->release();

    // The second block's first contact waits at the gate: no further block is asked for.
    EXPECT_FALSE(rig.phone.waitForCommand("AT+CPBR=21,30", 1, 300ms));
    EXPECT_EQ(rig.exportSink.positions(), std::vector<std::int32_t>{10});
    EXPECT_EQ(rig.statistics(kMemory),
              (ExportStatistics{10, kFirstBlockContacts, kFirstBlockContacts, ExportResult::None}));

    rig.manager->resume();
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));
    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1,10,200)", "finished(1)", "started(2,3,100)", "finished(1)"}));
    const phonesim::Scenario& phone = rig.phone.scenario();
    EXPECT_EQ(rig.file(), googleFile(export_test::joined(expectedContacts(phone, "ME", false),
                                                         expectedContacts(phone, "SM", false))));
}

TEST(PhoneManagerTest, DestroyingThePhoneManagerOfAPausedExportReturns) {
    ManagerRig rig(standardPhone());
    auto gate = startAndHoldSecondBlock(rig);
    rig.manager->pause();
    gate->release();
    const auto begin = Clock::now();
    rig.manager.reset();
    EXPECT_LT(Clock::now() - begin, 5s);

    // The memory's export ended (cancelled at the gate, or failed on the closed port), and the
    // SIM's, if it was heard of at all, was discarded.
    const Strings events = rig.exportSink.startsAndFinishes();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "started(1,10,200)");
    EXPECT_TRUE(events[1] == "finished(5)" || events[1] == "finished(2)") << events[1];
    if (events.size() > 2) {
        EXPECT_EQ(Strings(events.begin() + 2, events.end()),
                  (Strings{"started(2,0,0)", "finished(5)"}));
    }
}

TEST(PhoneManagerTest, ACancelEndsTheExportBeforeTheNextContact) {
    ManagerRig rig(standardPhone());
    auto gate = startAndHoldSecondBlock(rig);
    rig.manager->stop(StopKind::ByUser);
    gate->release();
    ASSERT_TRUE(rig.exportSink.waitForFinished(1));

    // The worker has ended: the SIM is never exported, and later requests go unanswered.
    rig.manager->requestStorages(rig.storagesSink);
    EXPECT_FALSE(rig.storagesSink.waitForAnswers(1, 300ms));
    EXPECT_EQ(rig.exportSink.startsAndFinishes(), (Strings{"started(1,10,200)", "finished(5)"}));
    EXPECT_EQ(
        rig.statistics(kMemory),
        (ExportStatistics{10, kFirstBlockContacts, kFirstBlockContacts, ExportResult::Cancelled}));
    EXPECT_EQ(rig.statistics(kSim), ExportStatistics{});
    EXPECT_EQ(rig.commands().back(), "AT+CPBR=11,20");
    // What was written stays, whole rows only.
    EXPECT_EQ(rig.file(), googleFile(firstBlockOf(rig)));
}

TEST(PhoneManagerTest, AStopOfAnotherKindClosesThePortFirst) {
    ManagerRig rig(standardPhone());
    auto gate = startAndHoldSecondBlock(rig);
    rig.manager->stop(StopKind::Disconnected);
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));
    gate->release();

    // The read in progress fails on the closed port. The SIM's task is then discarded, or, when
    // the worker got to it before the stop was signalled, fails on the closed port at once.
    const Strings events = rig.exportSink.startsAndFinishes();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(Strings(events.begin(), events.begin() + 2),
              (Strings{"started(1,10,200)", "finished(2)"}));
    const Strings sim(events.begin() + 2, events.end());
    if (sim == Strings{"finished(2)"}) {
        EXPECT_EQ(rig.statistics(kSim), ExportStatistics{});
    } else {
        EXPECT_EQ(sim, (Strings{"started(2,0,0)", "finished(5)"}));
        EXPECT_EQ(rig.statistics(kSim), (ExportStatistics{0, 0, 0, ExportResult::Cancelled}));
    }
    EXPECT_EQ(rig.statistics(kMemory).result, ExportResult::Failed);
    EXPECT_EQ(rig.file(), googleFile(firstBlockOf(rig)));
}

TEST(PhoneManagerTest, AnUnpluggedPhoneEndsTheStorageAndTheNextOneFailsAtOnce) {
    phonesim::Scenario scenario = standardPhone();
    scenario.behaviour.unplugAfterReads = 2;  // the third block finds the phone gone
    ManagerRig rig(std::move(scenario));
    rig.start({kMemory, kSim});
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));

    // The SIM's task fails on its first command and reports only its end.
    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1,10,200)", "finished(3)", "finished(3)"}));
    EXPECT_EQ(rig.exportSink.positions(), (std::vector<std::int32_t>{10, 20}));
    EXPECT_EQ(rig.statistics(kMemory),
              (ExportStatistics{10, kFirstBlockContacts + 2, kFirstBlockContacts + 2,
                                ExportResult::Disconnected}));
    EXPECT_EQ(rig.statistics(kSim), ExportStatistics{});
    EXPECT_EQ(rig.file(), googleFile(expectedContacts(rig.phone.scenario(), "ME", false, 1, 20)));
}

TEST(PhoneManagerTest, AFailedWriteIsWrittenOnceMoreWhenTheUserRetries) {
    ManagerRig rig(standardPhone());
    const phonesim::Scenario& phone = rig.phone.scenario();
    const std::string whole = googleFile(export_test::joined(expectedContacts(phone, "ME", false),
                                                             expectedContacts(phone, "SM", false)));
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(whole.size() / 2);
    rig.start({kMemory, kSim});

    ASSERT_TRUE(rig.questions.waitForQuestion());
    limit.reset();
    rig.questions.answer(true);
    ASSERT_TRUE(rig.exportSink.waitForFinished(2));

    EXPECT_EQ(rig.questions.questions(), std::vector<bool>{true});
    EXPECT_EQ(rig.exportSink.startsAndFinishes(),
              (Strings{"started(1,10,200)", "finished(1)", "started(2,3,100)", "finished(1)"}));
    EXPECT_EQ(rig.statistics(kMemory), (ExportStatistics{10, 10, 10, ExportResult::Completed}));
    EXPECT_EQ(rig.file(), whole);
}

TEST(PhoneManagerTest, AFailedWriteTheUserGivesUpOnEndsTheExport) {
    ManagerRig rig(standardPhone());
    const std::string whole = googleFile(expectedContacts(rig.phone.scenario(), "ME", false));
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(whole.size() / 2);
    rig.start({kMemory, kSim});

    ASSERT_TRUE(rig.questions.waitForQuestion());
    rig.questions.answer(false);
    ASSERT_TRUE(rig.exportSink.waitForFinished(1));
    rig.manager->requestStorages(rig.storagesSink);
    EXPECT_FALSE(rig.storagesSink.waitForAnswers(1, 300ms));
    limit.reset();

    EXPECT_EQ(rig.exportSink.startsAndFinishes(), (Strings{"started(1,10,200)", "finished(4)"}));
    const ExportStatistics memory = rig.statistics(kMemory);
    EXPECT_EQ(memory.result, ExportResult::WriteError);
    EXPECT_GT(memory.contactsWritten, 0);
    EXPECT_LT(memory.contactsWritten, 10);
    EXPECT_EQ(rig.statistics(kSim), ExportStatistics{});
    EXPECT_FALSE(rig.phone.waitForCommand("AT+CPBS=\"SM\"", 1, 0ms));
    // The file holds the rows written before the failure, and no part of the next.
    const auto written = static_cast<std::size_t>(memory.contactsWritten);
    EXPECT_EQ(rig.file(), googleFile([&] {
                  auto contacts = expectedContacts(rig.phone.scenario(), "ME", false);
                  contacts.resize(written);
                  return contacts;
              }()));
}

}  // namespace
