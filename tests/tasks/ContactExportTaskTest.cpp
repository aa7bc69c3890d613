#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ExpectedExport.h"
#include "ExportSinks.h"
#include "TempDir.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/IExportSettings.h"
#include "common/StorageKind.h"
#include "export/CSVExportManager.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"
#include "serial_comm/Modem.h"
#include "tasks/ContactExportTask.h"
#include "tasks/PhoneSetCharsetTask.h"

namespace {

using namespace std::chrono_literals;
using export_test::expectedContacts;
using export_test::expectedFile;
using export_test::RecordingExportSink;
using export_test::scenarioFrom;
using Strings = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr auto kShortSilence = 300ms;

class Settings final : public IExportSettings {
public:
    Settings(std::u16string charsetName, bool extended)
        : charset_(std::move(charsetName)), extended_(extended) {}
    std::u16string charset() const override { return charset_; }
    std::u16string path() const override { return {}; }
    OutputFormat format() const override { return OutputFormat::GoogleCsv; }
    std::int32_t outputCharset() const override { return output_charset::Utf8; }
    bool extendedPhonebook() const override { return extended_; }

private:
    std::u16string charset_;
    bool extended_;
};

// One storage's export on the test's thread, against a simulated phone that has been told the
// charset already.
class TaskRig {
public:
    TaskRig(phonesim::Scenario scenario, bool extended, std::u16string charsetName = u"UCS2")
        : phone(std::move(scenario)), settings(charsetName, extended) {
        if (!modem.port().open(text_codec::fromUtf8(phone.portPath()), 0, 0))
            throw std::runtime_error("cannot open " + phone.portPath());
        modem.setSilenceTimeout(kShortSilence);
        PhoneSetCharsetTask(charsetName, modem).run();
        setUpDone = phone.transcript().size();
    }

    // Runs the export of a storage; the code of a TerminationException that left it, if any.
    std::optional<std::int32_t> run(StorageKind kind) {
        ContactExportTask task(settings, stop, gate, modem, kind, csv, sink, maker);
        try {
            task.run();
        } catch (const ITask::TerminationException& e) {
            return e.code;
        }
        return std::nullopt;
    }

    Strings commands() const { return phone.transcriptSince(setUpDone); }
    std::string file() const { return test_support::readFileBytes(path); }
    // The file an export of the contacts writes; the expected files are those of the small
    // phone unless the scenario names others.
    static std::string fileOf(const export_test::ExpectedContacts& contacts,
                              std::string_view scenario = "small-phone") {
        return expectedFile(scenario, contacts, OutputFormat::GoogleCsv, output_charset::Utf8);
    }

    phonesim::Simulator phone;
    serial_comm::Modem modem;
    std::size_t setUpDone = 0;
    PhoneMaker maker = PhoneMaker::Own;
    Settings settings;
    synchronization::Event stop{synchronization::Event::Mode::ManualReset};
    synchronization::Event gate{synchronization::Event::Mode::ManualReset, true};
    test_support::TempDir dir;
    const std::filesystem::path path = dir.file("out.csv");
    CSVExportManager csv{OutputFormat::GoogleCsv, text_codec::fromUtf8(path.string()),
                         output_charset::Utf8};
    RecordingExportSink sink;
};

// The scenario of the expected files in tests/data/exports/small-phone.
constexpr char kSmallPhone[] = R"(
[storage ME]
range = 1-25
[contact ME 3]
name = Anna Ünal
phone.mobile = +491701234567
[contact ME 12]
name = Жанна
email = zh@example.com
[contact ME 25]
name = 王小明 🍕
phone.home = 0301234567
)";

TEST(ContactExportTaskTest, ReadsTheRangeInBlocksOfTenAndReportsEachStep) {
    TaskRig rig(scenarioFrom(kSmallPhone), false);
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(rig.commands(), (Strings{"AT+CPBS=\"ME\"", "AT+CPBS?", "AT+CPBR=?", "AT+CPBR=1,10",
                                       "AT+CPBR=11,20", "AT+CPBR=21,25"}));
    // Per contact the running entry total (position 0), per block the positions covered.
    EXPECT_EQ(rig.sink.events(),
              (Strings{"started(0,3,25)", "progress(1,0)", "progress(0,10)", "progress(2,0)",
                       "progress(0,20)", "progress(3,0)", "progress(0,25)", "finished(1)"}));
    EXPECT_EQ(rig.file(), rig.fileOf(expectedContacts(rig.phone.scenario(), "ME", false)));
}

phonesim::Scenario smallPhoneAnsweringRange(const std::string& range) {
    phonesim::Scenario scenario = scenarioFrom(kSmallPhone);
    scenario.behaviour.cannedAnswers.push_back(
        {phonesim::CommandPattern("AT+CPBR=?"), "\r\n+CPBR: " + range + ",40,30\r\n\r\nOK\r\n"});
    return scenario;
}

TEST(ContactExportTaskTest, TakesWhateverRangeThePhoneReports) {
    struct Case {
        const char* range;
        Strings reads;
        std::string started;
        std::vector<std::int32_t> positions;
    };
    const Case cases[] = {
        {"(5-5)", {"AT+CPBR=5,5"}, "started(0,3,1)", {1}},
        {"(9-3)", {}, "started(0,3,-5)", {}},
        // The block after the largest index must neither overflow nor start over.
        {"(2147483640-2147483647)", {"AT+CPBR=2147483640,2147483647"}, "started(0,3,8)", {8}},
        // The shapes other makers' phones send: no brackets, more numbers after the lengths.
        {"21-25", {"AT+CPBR=21,25"}, "started(0,3,5)", {5}},
        {"(11-25),40,30,20,80", {"AT+CPBR=11,20", "AT+CPBR=21,25"}, "started(0,3,15)", {10, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        TaskRig rig(smallPhoneAnsweringRange(c.range), false);
        EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
        const Strings commands = rig.commands();
        EXPECT_EQ(Strings(commands.begin() + 3, commands.end()), c.reads);
        EXPECT_EQ(rig.sink.startsAndFinishes(), (Strings{c.started, "finished(1)"}));
        EXPECT_EQ(rig.sink.positions(), c.positions);
    }
}

TEST(ContactExportTaskTest, AStopBeforeTheFirstBlockCancelsAndEndsTheWorker) {
    // The widest range there is: its index count is reported as large as 32 bits allow.
    TaskRig rig(smallPhoneAnsweringRange("(0-2147483647)"), false);
    rig.stop.signal();
    EXPECT_EQ(rig.run(StorageKind::Memory), 5);
    EXPECT_EQ(rig.sink.events(), (Strings{"started(0,3,2147483647)", "finished(5)"}));
    EXPECT_EQ(rig.commands().size(), 3u);  // selection, fill and range, but no block
    EXPECT_EQ(rig.file(), rig.fileOf({}));
}

TEST(ContactExportTaskTest, TriesTheSelectionAgainASecondLater) {
    phonesim::Scenario scenario = scenarioFrom(kSmallPhone);
    scenario.behaviour.selectRefusals.push_back({"", 2});
    TaskRig rig(std::move(scenario), false);
    const auto begin = Clock::now();
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    EXPECT_GE(Clock::now() - begin, 2 * ContactExportTask::kSelectRetryPause);
    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin(), commands.begin() + 4),
              (Strings{"AT+CPBS=\"ME\"", "AT+CPBS=\"ME\"", "AT+CPBS=\"ME\"", "AT+CPBS?"}));
    EXPECT_EQ(rig.sink.startsAndFinishes(), (Strings{"started(0,3,25)", "finished(1)"}));
}

TEST(ContactExportTaskTest, AStopWhileTheSelectionIsRefusedFailsTheStorage) {
    phonesim::Scenario scenario = scenarioFrom(kSmallPhone);
    scenario.behaviour.selectRefusals.push_back({"ME", ContactExportTask::kSelectAttempts});
    TaskRig rig(std::move(scenario), false);
    std::thread user([&rig] {
        rig.phone.waitForCommand("AT+CPBS=\"ME\"", 1, 10s);
        rig.stop.signal();
    });
    const auto begin = Clock::now();
    // Not a cancel (5): the worker goes on, and discards what is queued behind.
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    user.join();
    EXPECT_LT(Clock::now() - begin, 2 * ContactExportTask::kSelectRetryPause);
    EXPECT_EQ(rig.sink.events(), (Strings{"started(0,0,0)", "finished(2)"}));
    EXPECT_EQ(rig.commands(), Strings{"AT+CPBS=\"ME\""});
}

// How the storage is selected on another maker's phone: a SIM that waits for its PIN fails the
// storage at once, and a phone that takes the name only in the UCS2 form gets it so. The
// maker's phone is sent the plain name, again a second later, whatever it answers.
TEST(ContactExportTaskTest, AnotherMakersPhoneFailsAtOnceOnALockedSimAndMayTakeTheNameInHex) {
    const std::string locked = R"(answer = AT+CPBS="ME" -> "\r\n+CME ERROR: SIM PIN required\r\n")";
    const std::string hexOnly =
        "fail = AT+CPBS=\"ME\"\n"
        R"(answer = AT+CPBS="004D0045" -> "\r\nOK\r\n")";
    const struct {
        const char* what;
        std::string behaviour;
        PhoneMaker maker;
        Strings firstCommands;
        Strings startsAndFinishes;
    } cases[] = {
        {"another maker's locked SIM",
         locked,
         PhoneMaker::Other,
         {"AT+CPBS=\"ME\""},
         {"sim-locked", "started(0,0,0)", "finished(2)"}},
        {"another maker's phone taking the name in hex",
         hexOnly,
         PhoneMaker::Other,
         {"AT+CPBS=\"ME\"", "AT+CPBS=\"004D0045\"", "AT+CPBS?"},
         {"started(0,3,25)", "finished(1)"}},
        {"the maker's phone asking for the PIN",
         locked,
         PhoneMaker::Own,
         {"AT+CPBS=\"ME\"", "AT+CPBS=\"ME\""},
         {"started(0,0,0)", "finished(2)"}},
        {"the maker's phone refusing",
         hexOnly,
         PhoneMaker::Own,
         {"AT+CPBS=\"ME\"", "AT+CPBS=\"ME\""},
         {"started(0,0,0)", "finished(2)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TaskRig rig(scenarioFrom(std::string(kSmallPhone) + "[behaviour]\n" + c.behaviour + "\n"),
                    false);
        rig.maker = c.maker;
        // The maker's phone tries again: a stop after its second try ends the test.
        std::thread user([&rig, &c] {
            if (c.maker == PhoneMaker::Own) {
                rig.phone.waitForCommand("AT+CPBS=\"ME\"", 2, 10s);
                rig.stop.signal();
            }
        });
        const auto begin = Clock::now();
        EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
        user.join();
        const Strings commands = rig.commands();
        ASSERT_GE(commands.size(), c.firstCommands.size());
        EXPECT_EQ(Strings(commands.begin(),
                          commands.begin() + static_cast<std::ptrdiff_t>(c.firstCommands.size())),
                  c.firstCommands);
        EXPECT_EQ(rig.sink.startsAndFinishes(), c.startsAndFinishes);
        if (c.maker == PhoneMaker::Other) {
            EXPECT_LT(Clock::now() - begin, ContactExportTask::kSelectRetryPause) << "no retry";
        }
    }
    // What the phone that took the name in hex holds was read whole.
    TaskRig hex(scenarioFrom(std::string(kSmallPhone) + "[behaviour]\n" + hexOnly + "\n"), false);
    hex.maker = PhoneMaker::Other;
    EXPECT_EQ(hex.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(hex.file(), hex.fileOf(expectedContacts(hex.phone.scenario(), "ME", false)));
}

TEST(ContactExportTaskTest, AStorageOutsideTheTableFailsWithoutAWord) {
    TaskRig rig(scenarioFrom(kSmallPhone), false);
    EXPECT_EQ(rig.run(StorageKind{7}), std::nullopt);
    EXPECT_EQ(rig.sink.events(), (Strings{"started(0,0,0)", "finished(2)"}));
    EXPECT_TRUE(rig.commands().empty());
}

TEST(ContactExportTaskTest, NoUsableAnswerBeforeTheRangeFailsWithAnEmptyStart) {
    const std::string extended = std::string(kSmallPhone) + "[phone]\nextended = yes\n";
    struct Case {
        std::string scenario;
        bool extended;
        const char* fault;
    };
    const Case cases[] = {
        {kSmallPhone, false, "silent = AT+CPBS?"}, {kSmallPhone, false, "silent = AT+CPBR=?"},
        {kSmallPhone, false, "fail = AT+CPBR=?"},  {extended, true, "silent = AT+MPGR=?"},
        {extended, true, "silent = AT+MPGR=1,10"}, {extended, true, "silent = AT+MPBRE=?"},
        {extended, true, "fail = AT+MPBRE=?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        TaskRig rig(scenarioFrom(c.scenario + "[behaviour]\n" + c.fault + "\n"), c.extended);
        EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
        EXPECT_EQ(rig.sink.events(), (Strings{"started(0,0,0)", "finished(2)"}));
        EXPECT_EQ(rig.file(), rig.fileOf({}));
    }
}

TEST(ContactExportTaskTest, ABlockAnsweredWithErrorIsSkippedButASilentOneFails) {
    TaskRig refused(scenarioFrom(std::string(kSmallPhone) + "[behaviour]\nfail = AT+CPBR=11,20\n"),
                    false);
    EXPECT_EQ(refused.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(refused.sink.startsAndFinishes(), (Strings{"started(0,3,25)", "finished(1)"}));
    const phonesim::Scenario& phone = refused.phone.scenario();
    EXPECT_EQ(refused.file(),
              refused.fileOf(export_test::joined(expectedContacts(phone, "ME", false, 1, 10),
                                                 expectedContacts(phone, "ME", false, 21, 25))));

    TaskRig silent(scenarioFrom(std::string(kSmallPhone) + "[behaviour]\nsilent = AT+CPBR=11,20\n"),
                   false);
    EXPECT_EQ(silent.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(silent.sink.startsAndFinishes(), (Strings{"started(0,3,25)", "finished(2)"}));
    EXPECT_EQ(silent.commands().back(), "AT+CPBR=11,20");
    EXPECT_EQ(silent.file(), silent.fileOf(expectedContacts(phone, "ME", false, 1, 10)));
}

// How phones of other makers answer a window of ten indexes that holds no entry. Each answer
// ends the read at once, so with a silence of ten seconds the whole export takes a moment.
TEST(ContactExportTaskTest, AnEmptyWindowIsAnsweredEveryWayAndReadingGoesOn) {
    struct Case {
        const char* name;
        std::string reply;
    };
    const Case cases[] = {
        {"a bare OK", "\r\nOK\r\n"},
        {"ERROR", "\r\nERROR\r\n"},
        {"not found", "\r\n+CME ERROR: 22\r\n"},
        {"invalid index", "\r\n+CME ERROR: 21\r\n"},
        {"an error in words", "\r\n+CME ERROR: not found\r\n"},
        {"a blank line and OK", "\r\n\r\nOK\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phonesim::Scenario scenario = scenarioFrom(kSmallPhone);
        scenario.behaviour.cannedAnswers.push_back(
            {phonesim::CommandPattern("AT+CPBR=11,20"), c.reply});
        TaskRig rig(scenario, false);
        rig.modem.setSilenceTimeout(10s);
        const auto start = Clock::now();
        EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
        EXPECT_LT(Clock::now() - start, 5s);
        EXPECT_EQ(rig.sink.startsAndFinishes(), (Strings{"started(0,3,25)", "finished(1)"}));
        const phonesim::Scenario& phone = rig.phone.scenario();
        EXPECT_EQ(rig.file(),
                  rig.fileOf(export_test::joined(expectedContacts(phone, "ME", false, 1, 10),
                                                 expectedContacts(phone, "ME", false, 21, 25))));
    }
}

TEST(ContactExportTaskTest, UnsolicitedCodesBetweenAndInsideAnswersChangeNothing) {
    const std::string behaviour = R"(
[behaviour]
unsolicited = every 2 -> RING
unsolicited = after AT+CPBS? -> ^RSSI:17
answer = AT+CPBR=? -> "\r\n+CREG: 1,2\r\n+CPBR: 1-25,40,30\r\n\r\nOK\r\n"
unsolicited = within AT+CPBR=1,10 -> ^BOOT:20113456,0,0,0,75
unsolicited = within AT+CPBR=21,25 -> +CREG: 5
error-mode = 1
empty-read = error
)";
    TaskRig rig(scenarioFrom(std::string(kSmallPhone) + behaviour), false);
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(rig.sink.startsAndFinishes(), (Strings{"started(0,3,25)", "finished(1)"}));
    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin() + 3, commands.end()),
              (Strings{"AT+CPBR=1,10", "AT+CPBR=11,20", "AT+CPBR=21,25"}));
    EXPECT_EQ(rig.file(), rig.fileOf(expectedContacts(rig.phone.scenario(), "ME", false)));
}

TEST(ContactExportTaskTest, PortFailuresReportOnlyTheFinish) {
    TaskRig unplugged(
        scenarioFrom(std::string(kSmallPhone) + "[behaviour]\nunplug-at = AT+CPBS?\n"), false);
    EXPECT_EQ(unplugged.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(unplugged.sink.events(), Strings{"finished(3)"});

    TaskRig closed(scenarioFrom(kSmallPhone), false);
    closed.modem.port().close();
    EXPECT_EQ(closed.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(closed.sink.events(), Strings{"finished(2)"});
}

TEST(ContactExportTaskTest, APhoneUnpluggedBetweenBlocksKeepsWhatWasWritten) {
    TaskRig rig(scenarioFrom(std::string(kSmallPhone) + "[behaviour]\nunplug-after-reads = 1\n"),
                false);
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(rig.sink.events(),
              (Strings{"started(0,3,25)", "progress(1,0)", "progress(0,10)", "finished(3)"}));
    EXPECT_EQ(rig.file(), rig.fileOf(expectedContacts(rig.phone.scenario(), "ME", false, 1, 10)));
}

TEST(ContactExportTaskTest, ADiscardedTaskReportsACancel) {
    TaskRig rig(scenarioFrom(kSmallPhone), false);
    ContactExportTask task(rig.settings, rig.stop, rig.gate, rig.modem, StorageKind::Sim, rig.csv,
                           rig.sink);
    task.cancel();
    EXPECT_EQ(rig.sink.events(), (Strings{"started(0,0,0)", "finished(5)"}));
    EXPECT_TRUE(rig.commands().empty());
}

TEST(ContactExportTaskTest, ReadsTheExtendedPhonebookWithItsGroupNames) {
    TaskRig rig(phonesim::BuiltInScenarios::load("utf8-only"), true, u"UTF8");
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    EXPECT_EQ(rig.run(StorageKind::Sim), std::nullopt);
    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin(), commands.begin() + 6),
              (Strings{"AT+CPBS=\"ME\"", "AT+CPBS?", "AT+MPGR=?", "AT+MPGR=1,5", "AT+MPBRE=?",
                       "AT+MPBRE=1,10"}));
    const phonesim::Scenario& phone = rig.phone.scenario();
    const auto contacts = export_test::joined(expectedContacts(phone, "ME", true),
                                              expectedContacts(phone, "SM", true));
    ASSERT_FALSE(contacts.empty());
    EXPECT_EQ(rig.file(), rig.fileOf(contacts, "utf8-only"));
    const Strings results = rig.sink.startsAndFinishes();
    EXPECT_EQ(results.size(), 4u);
    EXPECT_EQ(results[1], "finished(1)");
    EXPECT_EQ(results[3], "finished(1)");
}

TEST(ContactExportTaskTest, APhoneWithoutGroupsLeavesEveryoneInTheDefaultGroup) {
    phonesim::Scenario scenario = phonesim::BuiltInScenarios::load("utf8-only");
    scenario.behaviour.failing.push_back(phonesim::CommandPattern("AT+MPGR=?"));
    TaskRig rig(std::move(scenario), true, u"UTF8");
    EXPECT_EQ(rig.run(StorageKind::Memory), std::nullopt);
    const Strings commands = rig.commands();
    EXPECT_EQ(Strings(commands.begin(), commands.begin() + 5),
              (Strings{"AT+CPBS=\"ME\"", "AT+CPBS?", "AT+MPGR=?", "AT+MPBRE=?", "AT+MPBRE=1,10"}));
    EXPECT_EQ(rig.file(), rig.fileOf(expectedContacts(rig.phone.scenario(), "ME", true),
                                     "utf8-only-without-groups"));
    EXPECT_EQ(rig.sink.startsAndFinishes().back(), "finished(1)");
}

}  // namespace
