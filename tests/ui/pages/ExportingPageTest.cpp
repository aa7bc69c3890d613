// The exporting page against a simulated phone: the start and its file question, progress,
// the stop question, write errors, a phone lost on the way, and the move to the next page.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ExpectedExport.h"
#include "FileSizeLimit.h"
#include "PageTestFixture.h"
#include "StatisticsComparison.h"
#include "charsets/CharsetChoice.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "ui/CWizardCompletion.h"
#include "ui/CWizardExporting.h"
#include "ui/CWizardPathSelection.h"

namespace {

using namespace std::chrono_literals;
using export_test::expectedContacts;
using export_test::expectedFile;
using ui_test::PageTest;

constexpr StorageKind kMemory = StorageKind::Memory;
constexpr StorageKind kSim = StorageKind::Sim;

// The file an export of the standard phone's contacts writes in the Google layout in UTF-8.
std::string googleFile(const export_test::ExpectedContacts& contacts) {
    return expectedFile("standard-ucs2", contacts, OutputFormat::GoogleCsv, output_charset::Utf8);
}

class ExportingPageTest : public PageTest {
protected:
    // The standard phone selected with the storages given, its output going to contacts.csv.
    void prepare(bool memory, bool sim, phonesim::Scenario scenario = standardPhone()) {
        selectPhone(std::move(scenario), false);
        app.setDeviceMemorySelected(memory);
        app.setSimSelected(sim);
        app.setCharsetName(u"UCS2");
        app.setOutputFormatAndCharset(OutputFormat::GoogleCsv, output_charset::Utf8);
        app.setOutputPath(pathText(file));
    }

    static phonesim::Scenario standardPhone() {
        return phonesim::BuiltInScenarios::load("standard-ucs2");
    }

    CWizardExporting& makePage(IUserDialogs& answers) {
        page = new CWizardExporting(app, sheet, answers);
        sheet.host(page);
        sheet.current = WizardPageId::Exporting;
        return *page;
    }

    bool waitForNext(int presses = 1) {
        return waitFor([this, presses] { return sheet.nextPresses >= presses; });
    }

    export_test::ExpectedContacts contacts(const std::string& storage, int first = 0,
                                           int last = 1 << 30) const {
        return expectedContacts(phone->scenario(), storage, false, first, last);
    }

    std::string written() const { return test_support::readFileBytes(file); }

    // A file question's text: the cause with the file's folder in it, its way out, and what
    // Retry and Cancel do (text 10390 at the start, 10391 during the export, 10392 at the end).
    QString fileQuestion(std::uint32_t whatId, std::uint32_t wayOutId, std::uint32_t retryId,
                         const std::filesystem::path& folder) const {
        const QString shown = QString::fromStdString(folder.string());
        return tx(whatId).replace(QStringLiteral("%1"), shown) + u' ' +
               tx(wayOutId).replace(QStringLiteral("%1"), shown) + QStringLiteral("\n\n") +
               tx(retryId);
    }

    QProgressBar* progress() const { return page->findChild<QProgressBar*>("exportProgress"); }
    QLabel* storageLabel() const { return page->findChild<QLabel*>("storageLabel"); }

    // The completion page shown after this export.
    CWizardCompletion& showCompletion() {
        auto* completion = new CWizardCompletion(app, sheet, dialogs);
        sheet.host(completion);
        sheet.current = WizardPageId::Completion;
        EXPECT_TRUE(sheet.activate(*completion));
        return *completion;
    }

    // The block reads the phone has received so far.
    std::size_t blockReads() const {
        const std::vector<std::string> commands = phone->transcript();
        return static_cast<std::size_t>(
            std::count_if(commands.begin(), commands.end(),
                          [](const std::string& command) { return kBlockRead.matches(command); }));
    }

    // Under the two seconds of silence after which the program gives up on an answer.
    static constexpr auto kHold = std::chrono::milliseconds(1800);
    inline static const phonesim::CommandPattern kBlockRead{"AT+CPBR=*"};

    const std::filesystem::path file = dir.file("contacts.csv");
    CWizardExporting* page = nullptr;
};

TEST_F(ExportingPageTest, ExportsTheChosenStoragesAndMovesOnByItself) {
    prepare(true, true);
    makePage(dialogs);
    EXPECT_FALSE(storageLabel()->isVisibleTo(page));
    ASSERT_TRUE(sheet.activate(*page));
    EXPECT_EQ(sheet.captions, std::vector<QString>{tx(10209)});
    EXPECT_EQ(sheet.buttons, std::vector<unsigned>{IWizardSheet::NoButton});
    EXPECT_TRUE(page->exportRunning());

    ASSERT_TRUE(waitForNext());
    EXPECT_FALSE(page->exportRunning());
    EXPECT_EQ(written(), googleFile(export_test::joined(contacts("ME"), contacts("SM"))));
    // The SIM came last: its name and a full bar of its 100 index positions.
    EXPECT_TRUE(storageLabel()->isVisibleTo(page));
    EXPECT_EQ(storageLabel()->text(), tx(10299));
    EXPECT_EQ(progress()->maximum(), 100);
    EXPECT_EQ(progress()->value(), 100);
    EXPECT_EQ(app.exportStatistics(kMemory).result, ExportResult::Completed);
    EXPECT_EQ(app.exportStatistics(kSim).result, ExportResult::Completed);
    EXPECT_TRUE(dialogs.questions().empty());
    // Pressed once, and the buttons were left as the start set them.
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.nextPresses, 1);
    EXPECT_EQ(sheet.buttons.size(), 1u);
    EXPECT_EQ(page->onWizardNext().kind, WizardPage::Transition::Kind::Step);
}

TEST_F(ExportingPageTest, TheStopQuestionAnsweredNoLetsTheExportGoOn) {
    prepare(true, false);
    auto gate = phone->holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), kHold);
    makePage(hookedDialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(gate->waitUntilHeld(kWait));
    ASSERT_TRUE(waitFor([this] { return progress()->value() == 10; }));
    EXPECT_EQ(storageLabel()->text(), tx(10298));
    EXPECT_EQ(progress()->maximum(), 200);

    // While the question is open the export waits: the block it has asked for may still be
    // read, but no other.
    bool pausedMeanwhile = false;
    hookedDialogs.beforeAnswer = [&](const MessageRequest&) {
        const std::size_t reads = blockReads();
        gate->release();
        pausedMeanwhile = !phone->waitForCommand(kBlockRead, reads + 2, 500ms);
    };
    dialogs.answerMessage(MessageAnswer::No);
    EXPECT_FALSE(page->onQueryCancel());
    EXPECT_TRUE(pausedMeanwhile);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& question = dialogs.questions()[0].message;
    EXPECT_EQ(question.caption, tx(10218));
    EXPECT_EQ(question.text, tx(10219));
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);

    ASSERT_TRUE(waitForNext());
    EXPECT_EQ(app.exportStatistics(kMemory).result, ExportResult::Completed);
    EXPECT_EQ(written(), googleFile(contacts("ME")));
    EXPECT_TRUE(sheet.jumps.empty());
}

TEST_F(ExportingPageTest, TheStopQuestionAnsweredYesEndsTheExportAsCancelled) {
    prepare(true, true);
    auto gate = phone->holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), kHold);
    makePage(dialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(gate->waitUntilHeld(kWait));
    dialogs.answerMessage(MessageAnswer::Yes);
    EXPECT_FALSE(page->onQueryCancel());
    gate->release();

    ASSERT_TRUE(waitForNext());
    const ExportStatistics memory = app.exportStatistics(kMemory);
    EXPECT_EQ(memory.result, ExportResult::Cancelled);
    EXPECT_LT(memory.contactsWritten, 10);
    EXPECT_EQ(app.exportStatistics(kSim), ExportStatistics{});
    // What was written before the stop stays.
    EXPECT_EQ(written(), googleFile([&] {
                  auto all = contacts("ME");
                  all.resize(static_cast<std::size_t>(memory.contactsWritten));
                  return all;
              }()));

    CWizardCompletion& completion = showCompletion();
    const QString memoryLine = completion.findChild<QLabel*>("memoryLine")->text();
    EXPECT_TRUE(memoryLine.contains(tx(10245))) << memoryLine.toStdString();
    const QString simLine = completion.findChild<QLabel*>("simLine")->text();
    EXPECT_TRUE(simLine.contains(tx(10245))) << simLine.toStdString();
}

TEST_F(ExportingPageTest, TheEndArrivingDuringTheStopQuestionWaitsForTheAnswer) {
    prepare(true, false);
    auto gate = phone->holdAnswer(phonesim::CommandPattern("AT+CPBR=11,20"), kHold);
    makePage(hookedDialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(gate->waitUntilHeld(kWait));

    int pressesWhileAsked = -1;
    hookedDialogs.beforeAnswer = [&](const MessageRequest&) {
        // The storage's end, as the worker reports it, reaches the page while it asks.
        std::thread worker(
            [this] { app.exportSession().onExportFinished(ExportResult::Completed); });
        worker.join();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        pressesWhileAsked = sheet.nextPresses;
    };
    dialogs.answerMessage(MessageAnswer::No);
    EXPECT_FALSE(page->onQueryCancel());
    EXPECT_EQ(pressesWhileAsked, 0);
    EXPECT_EQ(sheet.nextPresses, 1);

    // The real export goes on; join it before the page goes.
    gate->release();
    app.releaseDevice();
}

TEST_F(ExportingPageTest, AFileThatCannotBeCreatedAsksAndCancelLeadsToThePathPage) {
    prepare(true, true);
    const std::filesystem::path missing = dir.file("missing") / "contacts.csv";
    app.setOutputPath(pathText(missing));
    dialogs.answerMessage(MessageAnswer::Retry);
    dialogs.answerMessage(MessageAnswer::Cancel);
    makePage(dialogs);
    EXPECT_TRUE(sheet.activate(*page));
    ASSERT_EQ(dialogs.questions().size(), 2u);
    for (const auto& question : dialogs.questions()) {
        EXPECT_EQ(question.message.caption, tx(10264));
        // ENOENT: the folder that is missing, as the command line names it.
        EXPECT_EQ(question.message.text, fileQuestion(10331, 10332, 10390, missing.parent_path()));
        EXPECT_EQ(question.message.buttons, MessageButtons::RetryCancel);
        EXPECT_EQ(question.message.icon, MessageIcon::Warning);
    }
    EXPECT_EQ(sheet.jumps, std::vector<WizardPageId>{WizardPageId::OutputPath});
    EXPECT_FALSE(page->exportRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.nextPresses, 0);
    EXPECT_FALSE(phone->waitForCommand("AT+CPBS=\"ME\"", 1, 0ms));

    // The path page shows the path that failed, with Back and Next.
    auto* pathPage = new CWizardPathSelection(app, sheet, dialogs);
    sheet.host(pathPage);
    sheet.current = WizardPageId::OutputPath;
    ASSERT_TRUE(sheet.activate(*pathPage));
    EXPECT_EQ(sheet.lastButtons(), IWizardSheet::BackButton | IWizardSheet::NextButton);
    EXPECT_EQ(app.outputPath(), pathText(missing));
}

TEST_F(ExportingPageTest, RetryingTheFileAfterTheFolderAppearsStartsTheExport) {
    prepare(false, true);
    const std::filesystem::path folder = dir.file("later");
    app.setOutputPath(pathText(folder / "contacts.csv"));
    hookedDialogs.beforeAnswer = [&](const MessageRequest&) {
        std::filesystem::create_directory(folder);
    };
    dialogs.answerMessage(MessageAnswer::Retry);
    makePage(hookedDialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitForNext());
    EXPECT_EQ(test_support::readFileBytes(folder / "contacts.csv"), googleFile(contacts("SM")));
    EXPECT_TRUE(sheet.jumps.empty());
}

// The exported file takes the output file's place only at the end; when it cannot, the user is
// asked and may retry.
TEST_F(ExportingPageTest, AFileThatCannotTakeItsPlaceAtTheEndIsAskedAboutAndRetried) {
    prepare(false, true);
    auto gate = phone->holdAnswer(kBlockRead, kHold);
    hookedDialogs.beforeAnswer = [&](const MessageRequest&) { std::filesystem::remove_all(file); };
    dialogs.answerMessage(MessageAnswer::Retry);
    makePage(hookedDialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(gate->waitUntilHeld(10s));
    std::filesystem::create_directories(file / "in the way");
    gate->release();
    ASSERT_TRUE(waitForNext());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    // The folder in the way: EISDIR.
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10264));
    EXPECT_EQ(dialogs.questions()[0].message.text,
              fileQuestion(10341, 10342, 10392, file.parent_path()));
    EXPECT_EQ(dialogs.questions()[0].message.buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(written(), googleFile(contacts("SM")));
}

TEST_F(ExportingPageTest, AWriteErrorRetriedLeavesNoPartialRow) {
    prepare(true, true);
    const std::string whole = googleFile(export_test::joined(contacts("ME"), contacts("SM")));
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(whole.size() / 2);
    // The worker waits for the answer; the disk has room again by then.
    hookedDialogs.beforeAnswer = [&](const MessageRequest&) { limit.reset(); };
    dialogs.answerMessage(MessageAnswer::Retry);
    makePage(hookedDialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitForNext());
    limit.reset();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10264));
    // The file-size limit stops the write with EFBIG.
    EXPECT_EQ(dialogs.questions()[0].message.text,
              fileQuestion(10349, 10350, 10391, file.parent_path()));
    EXPECT_EQ(dialogs.questions()[0].message.buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(written(), whole);
    EXPECT_EQ(app.exportStatistics(kMemory).result, ExportResult::Completed);
    EXPECT_EQ(app.exportStatistics(kSim).result, ExportResult::Completed);
}

TEST_F(ExportingPageTest, AWriteErrorGivenUpEndsTheWholeExport) {
    prepare(true, true);
    const std::string whole = googleFile(contacts("ME"));
    std::optional<test_support::FileSizeLimit> limit;
    limit.emplace(whole.size() / 2);
    dialogs.answerMessage(MessageAnswer::Cancel);
    makePage(dialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitForNext());
    limit.reset();

    const ExportStatistics memory = app.exportStatistics(kMemory);
    EXPECT_EQ(memory.result, ExportResult::WriteError);
    EXPECT_EQ(app.exportStatistics(kSim), ExportStatistics{});
    EXPECT_EQ(written(), googleFile([&] {
                  auto all = contacts("ME");
                  all.resize(static_cast<std::size_t>(memory.contactsWritten));
                  return all;
              }()));
    CWizardCompletion& completion = showCompletion();
    EXPECT_TRUE(completion.findChild<QLabel*>("memoryLine")->text().contains(tx(10263)));
}

TEST_F(ExportingPageTest, AFullDiskHasItsOwnQuestionAndTheAnswerReachesTheWorker) {
    // A device that is always full, written directly; an ASCII file has no byte-order mark, so
    // the first row is the first write to fail.
    prepare(true, true);
    app.setOutputFormatAndCharset(OutputFormat::GoogleCsv, output_charset::Ascii);
    app.setOutputPath(u"/dev/full");
    dialogs.answerMessage(MessageAnswer::Retry);
    dialogs.answerMessage(MessageAnswer::Cancel);
    makePage(dialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitForNext());
    // Retried once (and failing again), then given up: the export ends with the write error.
    EXPECT_EQ(app.exportStatistics(kMemory).result, ExportResult::WriteError);
    EXPECT_EQ(app.exportStatistics(kSim), ExportStatistics{});
    ASSERT_EQ(dialogs.questions().size(), 2u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, tx(10269));
    EXPECT_EQ(dialogs.questions()[0].message.text, fileQuestion(10345, 10346, 10391, "/dev"));
    EXPECT_EQ(dialogs.questions()[0].message.buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(dialogs.questions()[0].message.icon, MessageIcon::Warning);
}

TEST_F(ExportingPageTest, APhoneLostOnTheWayIsNamedOnceAndTheFileKeepsWhatWasRead) {
    phonesim::Scenario scenario = standardPhone();
    scenario.behaviour.unplugAfterReads = 2;  // the third block finds the phone gone
    prepare(true, true, std::move(scenario));
    dialogs.answerMessage(MessageAnswer::Ok);
    makePage(dialogs);
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitForNext());

    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& warning = dialogs.questions()[0].message;
    EXPECT_EQ(warning.caption, tx(10262));
    EXPECT_EQ(warning.text, tx(10261).replace(QStringLiteral("%1"), QStringLiteral("Korvanta Z1")));
    EXPECT_EQ(warning.icon, MessageIcon::Warning);
    EXPECT_EQ(app.exportStatistics(kMemory).result, ExportResult::Disconnected);
    EXPECT_EQ(written(), googleFile(contacts("ME", 1, 20)));

    // The device list's notice that follows brings no second warning, and the page stays.
    page->onDeviceRemoved();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.questions().size(), 1u);
    EXPECT_TRUE(sheet.jumps.empty());
    EXPECT_EQ(sheet.nextPresses, 1);
}

}  // namespace
