// The whole wizard as `contaxio --demo` runs it: the real sheet and pages, the demo phone behind
// its simulated device tree, an application object started in a configuration folder of the
// test's own with the shipped languages, and Qt's own message boxes, answered by the test. The
// walk clicks its way from the welcome page to the summary, and the file it writes must equal
// the one contaxio-cli writes for the same phone. A second walk unplugs the phone during the
// export. With CONTAXIO_SCREENSHOTS set, every page is saved as a PNG (scripts/screenshots.sh
// makes the README's pictures from the first walk).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QString>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <chrono>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "ChildProcess.h"
#include "ExpectedExport.h"
#include "ModalDialogAnswerer.h"
#include "Screenshots.h"
#include "TempDir.h"
#include "WizardTestApp.h"
#include "charsets/CharsetChoice.h"
#include "devices/DeviceNotice.h"
#include "export/OutputFormat.h"
#include "phonesim/CommandPattern.h"
#include "ui/CWizardContactsSelection.h"
#include "ui/CWizardDeviceList.h"
#include "ui/CWizardSheet.h"
#include "ui/DemoPhone.h"
#include "ui/QtUserDialogs.h"
#include "ui/WizardPageFactory.h"

using namespace std::chrono_literals;
using Button = CWizardSheet::SheetButton;
using ui_test::ModalDialogAnswerer;

// Texts in failure messages as text (QString lives in the global namespace).
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr int kWaitMs = 30000;
constexpr auto kWait = 30s;
// The demo phone's identity, as its scenario tells it.
const QString kModel = QStringLiteral("Z3");
const QString kImei = QStringLiteral("351234567890123");

// Sets an environment variable for the life of the object.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvironmentVariable() {
        if (had_) {
            qputenv(name_, previous_);
        } else {
            qunsetenv(name_);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray previous_;
};

// What contaxio-cli's summary says of a storage: "... 84 entries in 48 contacts written".
struct CliCounts {
    int entries = -1;
    int contacts = -1;
};

CliCounts cliCounts(const std::string& summary, const std::string& storage) {
    // Qt's expressions rather than <regex>, whose code g++ 12 warns about under the sanitizers.
    const QRegularExpression line(
        QString::fromStdString(storage) +
        QStringLiteral(R"(: +completed, .* (\d+) (entry|entries) in (\d+) contacts? )"));
    const QRegularExpressionMatch match = line.match(QString::fromStdString(summary));
    if (!match.hasMatch()) {
        return {};
    }
    return {match.captured(1).toInt(), match.captured(3).toInt()};
}

class WholeWalkTest : public ::testing::Test {
protected:
    WholeWalkTest() { std::filesystem::create_directories(documents()); }

    std::filesystem::path documents() const { return dir.file("Documents"); }
    std::filesystem::path outputFile() const { return documents() / "my_contacts.csv"; }

    // The wizard, as the program shows it: made, shown, and on its first page.
    void startWizard() {
        sheet = std::make_unique<CWizardSheet>(test.app(), dialogs, pages);
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    }

    WizardPageId current() const { return sheet->currentPageId(); }
    QAbstractButton* button(Button which) const { return sheet->sheetButton(which); }
    bool enabled(Button which) const { return button(which)->isEnabled(); }
    void click(Button which) { QTest::mouseClick(button(which), Qt::LeftButton); }
    bool waitForPage(WizardPageId page) const {
        return QTest::qWaitFor([&] { return current() == page; }, kWaitMs);
    }
    template <class Widget>
    Widget* child(WizardPageId page, const char* name) const {
        return sheet->wizardPage(page)->findChild<Widget*>(QLatin1String(name));
    }
    CWizardDeviceList& deviceList() const {
        return *qobject_cast<CWizardDeviceList*>(sheet->wizardPage(WizardPageId::DeviceList));
    }
    QString text(std::uint32_t id) const { return test.text(id); }
    QString withArgument(std::uint32_t id, const QString& argument) const {
        return text(id).replace(QStringLiteral("%1"), argument);
    }
    void screenshot(const char* page) {
        ui_test::saveScreenshot(sheet.get(),
                                ui_test::currentTestName() + u'-' + QLatin1String(page));
    }

    // From the welcome page to the output path page: the demo phone chosen with both of its
    // storages, the path the wizard proposes the first time.
    void walkToOutputPath() {
        ASSERT_NO_FATAL_FAILURE(startWizard());

        ASSERT_EQ(current(), WizardPageId::Welcome);
        EXPECT_TRUE(button(Button::About)->isVisible());
        EXPECT_FALSE(enabled(Button::Back));
        EXPECT_TRUE(enabled(Button::Next));
        screenshot("welcome");
        click(Button::Next);

        ASSERT_EQ(current(), WizardPageId::DeviceList);
        QTreeWidget* list = deviceList().deviceList();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 1; }, kWaitMs));
        QTreeWidgetItem* row = list->topLevelItem(0);
        EXPECT_EQ(row->text(0), kModel);
        EXPECT_EQ(row->text(1), kImei);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        ASSERT_TRUE(row->isSelected());
        EXPECT_TRUE(enabled(Button::Next));
        EXPECT_TRUE(deviceList().rowButton()->isVisible());
        screenshot("device-list");
        click(Button::Next);  // opens the phone: a second or more

        ASSERT_EQ(current(), WizardPageId::ContactsSource);
        auto* contacts = qobject_cast<CWizardContactsSelection*>(
            sheet->wizardPage(WizardPageId::ContactsSource));
        ASSERT_TRUE(QTest::qWaitFor([&] { return contacts->storagesKnown(); }, kWaitMs));
        auto* memory = child<QCheckBox>(WizardPageId::ContactsSource, "memoryBox");
        auto* sim = child<QCheckBox>(WizardPageId::ContactsSource, "simBox");
        EXPECT_TRUE(memory->isEnabled() && memory->isChecked());
        EXPECT_TRUE(sim->isEnabled() && sim->isChecked());
        EXPECT_TRUE(enabled(Button::Next));
        screenshot("contacts-source");
        click(Button::Next);

        ASSERT_EQ(current(), WizardPageId::OutputPath);
        EXPECT_EQ(child<QLineEdit>(WizardPageId::OutputPath, "folderEdit")->text(),
                  QString::fromStdString(documents().string() + "/"));
        EXPECT_EQ(child<QLineEdit>(WizardPageId::OutputPath, "fileNameEdit")->text(),
                  QStringLiteral("my_contacts.csv"));
        EXPECT_TRUE(enabled(Button::Back));
        EXPECT_TRUE(enabled(Button::Next));
        screenshot("output-path");
    }

    QString summaryLine(const char* name) const {
        return child<QLabel>(WizardPageId::Completion, name)->text();
    }
    // "<storage>: <status> (contacts written: <n>, entries read: <e> of <t>)"
    QString storageLine(std::uint32_t storageName, std::uint32_t status, int contacts, int entries,
                        int total) const {
        return withArgument(10239, text(storageName)) + u' ' +
               text(10246)
                   .replace(QStringLiteral("%1"), text(status))
                   .replace(QStringLiteral("%2"), QString::number(contacts))
                   .replace(QStringLiteral("%3"), QString::number(entries))
                   .replace(QStringLiteral("%4"), QString::number(total));
    }

    test_support::TempDir dir;
    // The first start proposes my_contacts.csv in the documents folder: the test's own.
    EnvironmentVariable documentsFolder{"XDG_DOCUMENTS_DIR",
                                        QByteArray::fromStdString(dir.file("Documents").string())};
    DemoPhone demo;
    ui_test::WizardTestApp test;
    QtUserDialogs dialogs;
    ModalDialogAnswerer answerer;
    WizardPageFactory pages{demo.roots()};
    std::unique_ptr<CWizardSheet> sheet;  // last: its pages go before the phone and the app
};

TEST_F(WholeWalkTest, TheDemoPhoneToTheSummaryWritesWhatTheCommandLineToolWrites) {
    ASSERT_NO_FATAL_FAILURE(walkToOutputPath());

    // The export, seen half-way through the memory while the phone holds back a block.
    auto gate = demo.phone().holdAnswer(phonesim::CommandPattern("AT+MPBRE=241,250"), 1800ms);
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::Exporting);
    ASSERT_TRUE(gate->waitUntilHeld(kWait));
    auto* progress = child<QProgressBar>(WizardPageId::Exporting, "exportProgress");
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->value() >= 240; }, kWaitMs));
    EXPECT_EQ(child<QLabel>(WizardPageId::Exporting, "storageLabel")->text(), text(10298));
    EXPECT_FALSE(enabled(Button::Back));
    EXPECT_FALSE(enabled(Button::Next));
    screenshot("exporting");
    gate->release();

    ASSERT_TRUE(waitForPage(WizardPageId::Completion));
    screenshot("completion");
    EXPECT_TRUE(answerer.seen().empty());

    // The same phone through contaxio-cli.
    const std::filesystem::path cliFile = dir.file("cli.csv");
    test_support::ChildProcess cli(CONTAXIO_CLI, {"demo", "--output", cliFile.string()});
    ASSERT_EQ(cli.wait(kWait), 0) << cli.errors();
    const std::string expected = test_support::readFileBytes(cliFile);
    ASSERT_FALSE(expected.empty());
    const std::string written = test_support::readFileBytes(outputFile());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << "the wizard's file differs from contaxio-cli's";

    const CliCounts memory = cliCounts(cli.output(), "Phone memory");
    const CliCounts sim = cliCounts(cli.output(), "SIM");
    ASSERT_GT(memory.contacts, 0) << cli.output();
    ASSERT_GT(sim.contacts, 0) << cli.output();
    EXPECT_EQ(summaryLine("summaryHeading"), text(10235));
    EXPECT_EQ(summaryLine("phoneLine"), withArgument(10236, kModel));
    EXPECT_EQ(summaryLine("memoryLine"),
              storageLine(10241, 10243, memory.contacts, memory.entries, memory.entries));
    EXPECT_EQ(summaryLine("simLine"),
              storageLine(10240, 10243, sim.contacts, sim.entries, sim.entries));
    EXPECT_EQ(summaryLine("pathLine"), QString::fromStdString(outputFile().string()));
    EXPECT_EQ(summaryLine("charsetLine"), withArgument(10238, QStringLiteral("UCS2")));
    EXPECT_FALSE(test.app().hasPhoneManager());  // released after the summary

    // Only Back, and Cancel is the button that closes the wizard.
    EXPECT_TRUE(enabled(Button::Back));
    EXPECT_FALSE(enabled(Button::Next));
    EXPECT_EQ(button(Button::Cancel)->text(), text(10233));
    answerer.expect(ModalDialogAnswerer::press(QMessageBox::Yes));
    click(Button::Cancel);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, text(10230));
    EXPECT_FALSE(sheet->isVisible());
}

// vCard chosen on the output page: the file is the one contaxio-cli writes, byte for byte, UIDs
// and all (the device list hands the phone's IMEI on to the export).
TEST_F(WholeWalkTest, VCardChosenOnTheOutputPageWritesWhatTheCommandLineToolWrites) {
    ASSERT_NO_FATAL_FAILURE(walkToOutputPath());
    auto* format = child<QComboBox>(WizardPageId::OutputPath, "formatBox");
    ASSERT_EQ(format->itemText(2), text(10248));
    format->setCurrentIndex(2);
    EXPECT_EQ(child<QLineEdit>(WizardPageId::OutputPath, "fileNameEdit")->text(),
              QStringLiteral("my_contacts.vcf"));
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::Exporting);
    ASSERT_TRUE(waitForPage(WizardPageId::Completion));
    EXPECT_TRUE(answerer.seen().empty());

    const std::filesystem::path cliFile = dir.file("cli.vcf");
    test_support::ChildProcess cli(CONTAXIO_CLI,
                                   {"demo", "--layout", "vcard", "--output", cliFile.string()});
    ASSERT_EQ(cli.wait(kWait), 0) << cli.errors();
    const std::string expected = test_support::readFileBytes(cliFile);
    ASSERT_TRUE(expected.starts_with("BEGIN:VCARD\r\n"));
    const std::string written = test_support::readFileBytes(documents() / "my_contacts.vcf");
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << "the wizard's vCards differ from contaxio-cli's";
    EXPECT_FALSE(std::filesystem::exists(outputFile()));
    EXPECT_EQ(summaryLine("charsetLine"), withArgument(10393, QStringLiteral("UCS2")));
    EXPECT_EQ(test.app().outputFormatAndCharset().first, OutputFormat::VCard);
}

TEST_F(WholeWalkTest, ThePhoneUnpluggedDuringTheExportKeepsWhatWasReadAndSaysSo) {
    ASSERT_NO_FATAL_FAILURE(walkToOutputPath());

    // The memory's third block is asked for and never answered: the phone goes first, as the
    // kernel tells the device list.
    auto gate = demo.phone().holdAnswer(phonesim::CommandPattern("AT+MPBRE=21,30"), 20s);
    answerer.expect(ModalDialogAnswerer::press(QMessageBox::Ok));
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::Exporting);
    ASSERT_TRUE(gate->waitUntilHeld(kWait));
    screenshot("exporting");
    demo.unplug();
    deviceList().onDeviceChange({DeviceNotice::Kind::DeviceRemoveComplete,
                                 std::u16string(demo.devicePath().begin(), demo.devicePath().end()),
                                 {}});

    ASSERT_TRUE(waitForPage(WizardPageId::Completion));
    screenshot("completion");
    // One warning, naming the phone, though both the port and the device list noticed.
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, text(10262));
    EXPECT_EQ(answerer.seen()[0].text, withArgument(10261, kModel));

    // Every contact of the two blocks read, in whole rows; nothing of the SIM.
    const phonesim::Scenario& scenario = demo.phone().scenario();
    const export_test::ExpectedContacts read =
        export_test::expectedContacts(scenario, "ME", true, 1, 20);
    ASSERT_FALSE(read.empty());
    // What the phone said the memory holds when the export began: its contacts.
    const auto used = static_cast<int>(export_test::expectedContacts(scenario, "ME", true).size());
    EXPECT_TRUE(
        test_support::readFileBytes(outputFile()) ==
        export_test::expectedFile("demo", read, OutputFormat::GoogleCsv, output_charset::Ucs2))
        << "the file does not hold exactly the contacts read before the unplug";
    EXPECT_EQ(summaryLine("phoneLine"), withArgument(10236, kModel));
    EXPECT_EQ(summaryLine("memoryLine"), storageLine(10241, 10244, static_cast<int>(read.size()),
                                                     export_test::entriesOf(read), used));
    // The SIM's export never began (its first command found the port gone): no result, which
    // the summary calls "cancelled", as contaxio-cli does for a storage the export never reached.
    EXPECT_EQ(summaryLine("simLine"), storageLine(10240, 10245, 0, 0, 0));

    // Back leads to the device list, where the phone is no more.
    click(Button::Back);
    ASSERT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_TRUE(QTest::qWaitFor([&] { return deviceList().deviceList()->topLevelItemCount() == 0; },
                                kWaitMs));
    EXPECT_FALSE(enabled(Button::Next));
}

// With "Show devices of other makers" ticked, the demo's phone of another maker is listed
// without being opened; Next asks it, and the walk exports it as a standard-phonebook phone,
// writing what contaxio-cli writes for it.
TEST_F(WholeWalkTest, AnotherMakersPhoneWithTheBoxTickedToTheSummary) {
    ASSERT_NO_FATAL_FAILURE(startWizard());
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::DeviceList);
    QTreeWidget* list = deviceList().deviceList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 1; }, kWaitMs));
    auto* others = child<QCheckBox>(WizardPageId::DeviceList, "otherMakersBox");
    ASSERT_NE(others, nullptr);
    EXPECT_FALSE(others->isChecked());
    EXPECT_EQ(others->text(), text(10370));
    QTest::mouseClick(others, Qt::LeftButton, {}, QPoint(4, others->height() / 2));
    ASSERT_TRUE(others->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 2; }, kWaitMs));
    EXPECT_EQ(list->topLevelItem(0)->text(0), kModel);  // the maker's phone first
    QTreeWidgetItem* row = list->topLevelItem(1);
    EXPECT_EQ(row->text(0), QStringLiteral("Nordlicht NL-200"));
    EXPECT_EQ(row->text(1), text(10371));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
    ASSERT_TRUE(row->isSelected());
    EXPECT_TRUE(enabled(Button::Next));
    EXPECT_TRUE(demo.otherPhone().transcript().empty()) << "listed, not asked";
    screenshot("other-makers");

    // Next asks it, then warns that only names and numbers are read.
    answerer.expect(ModalDialogAnswerer::press(QMessageBox::Ok));
    click(Button::Next);
    ASSERT_TRUE(waitForPage(WizardPageId::ContactsSource));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text, text(10274));
    auto* contacts =
        qobject_cast<CWizardContactsSelection*>(sheet->wizardPage(WizardPageId::ContactsSource));
    ASSERT_TRUE(QTest::qWaitFor([&] { return contacts->storagesKnown(); }, kWaitMs));
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::OutputPath);
    click(Button::Next);
    ASSERT_TRUE(waitForPage(WizardPageId::Completion));
    screenshot("other-makers-completion");
    EXPECT_EQ(summaryLine("phoneLine"), withArgument(10236, QStringLiteral("Nordlicht NL-200")));
    EXPECT_EQ(summaryLine("charsetLine"), withArgument(10238, QStringLiteral("UCS2")));
    for (const std::string& command : demo.otherPhone().transcript()) {
        EXPECT_FALSE(command.starts_with("AT+MODE")) << command;
    }
    EXPECT_FALSE(test.app().hasPhoneManager());

    const std::filesystem::path cliFile = dir.file("cli.csv");
    test_support::ChildProcess cli(
        CONTAXIO_CLI,
        {"export", "--quiet", "--port", demo.otherDevicePath(), "--output", cliFile.string()});
    ASSERT_EQ(cli.wait(kWait), 0) << cli.errors();
    const std::string expected = test_support::readFileBytes(cliFile);
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_TRUE(test_support::readFileBytes(outputFile()) == expected)
        << "the wizard's file differs from contaxio-cli's";
}

// The wizard's window goes while the export runs (a signal ends the program's event loops,
// and the run destroys the sheet): the export stops, and the contacts it wrote stay in the file.
TEST_F(WholeWalkTest, TheWizardEndedDuringTheExportKeepsTheContactsWritten) {
    ASSERT_NO_FATAL_FAILURE(walkToOutputPath());
    auto gate = demo.phone().holdAnswer(phonesim::CommandPattern("AT+MPBRE=21,30"), 20s);
    click(Button::Next);
    ASSERT_EQ(current(), WizardPageId::Exporting);
    ASSERT_TRUE(gate->waitUntilHeld(kWait));

    sheet.reset();
    EXPECT_FALSE(test.app().hasPhoneManager());
    const export_test::ExpectedContacts read =
        export_test::expectedContacts(demo.phone().scenario(), "ME", true, 1, 20);
    EXPECT_TRUE(
        test_support::readFileBytes(outputFile()) ==
        export_test::expectedFile("demo", read, OutputFormat::GoogleCsv, output_charset::Ucs2))
        << "the file does not hold exactly the contacts written before the end";
    EXPECT_TRUE(answerer.seen().empty());
}

}  // namespace
