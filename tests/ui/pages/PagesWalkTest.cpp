// The four pages one after another with the demo phone, as a user walks them: both storages,
// the proposed path, the export, the summary. Saves a screenshot of each page, in the light
// and in a dark theme.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QStyle>
#include <QStyleFactory>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "ExpectedExport.h"
#include "PageTestFixture.h"
#include "charsets/CharsetChoice.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "ui/CWizardCompletion.h"
#include "ui/CWizardContactsSelection.h"
#include "ui/CWizardExporting.h"
#include "ui/CWizardPathSelection.h"

namespace {

using namespace std::chrono_literals;
using ui_test::PageTest;
using Kind = WizardPage::Transition::Kind;

QPalette darkPalette() {
    QPalette palette;
    // Fusion draws frames in the window colour made darker: the fields are a little lighter
    // than the window, so that their frames show.
    const QColor window(0x2b, 0x2b, 0x2e);
    const QColor base(0x36, 0x36, 0x3a);
    const QColor text(0xe8, 0xe8, 0xea);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x94));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x84));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x84));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x84));
    return palette;
}

// A theme for the length of a test.
class Theme {
public:
    explicit Theme(bool dark)
        : style_(QApplication::style()->name()), palette_(QApplication::palette()) {
        if (dark) {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QApplication::setPalette(darkPalette());
        }
    }
    ~Theme() {
        QApplication::setStyle(QStyleFactory::create(style_));
        QApplication::setPalette(palette_);
    }
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

private:
    QString style_;
    QPalette palette_;
};

class PagesWalkTest : public PageTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PagesWalkTest, TheDemoPhoneFromTheContactsSourceToTheSummary) {
    const Theme theme(GetParam());
    const QString look = GetParam() ? QStringLiteral("dark") : QStringLiteral("light");
    selectPhone(phonesim::BuiltInScenarios::demo(), true, u"Korvanta Z3");
    const std::filesystem::path documents = dir.file("Documents");
    std::filesystem::create_directories(documents);

    auto* contactsPage = new CWizardContactsSelection(app, sheet, dialogs);
    auto* pathPage = new CWizardPathSelection(
        app, sheet, dialogs, [&] { return QString::fromStdString(documents.string()); });
    auto* exportingPage = new CWizardExporting(app, sheet, dialogs);
    auto* completionPage = new CWizardCompletion(app, sheet, dialogs);
    for (WizardPage* page :
         {static_cast<WizardPage*>(contactsPage), static_cast<WizardPage*>(pathPage),
          static_cast<WizardPage*>(exportingPage), static_cast<WizardPage*>(completionPage)}) {
        sheet.host(page);
    }

    sheet.current = WizardPageId::ContactsSource;
    ASSERT_TRUE(sheet.activate(*contactsPage));
    ASSERT_TRUE(waitFor([&] { return contactsPage->storagesKnown(); }));
    sheet.screenshot(look + QStringLiteral("-1-contacts-source"));
    ASSERT_EQ(contactsPage->onWizardNext().kind, Kind::Step);

    sheet.current = WizardPageId::OutputPath;
    ASSERT_TRUE(sheet.activate(*pathPage));
    sheet.screenshot(look + QStringLiteral("-2-output-path"));
    ASSERT_EQ(pathPage->onWizardNext().kind, Kind::Step);
    const std::filesystem::path file = documents / "my_contacts.csv";
    EXPECT_EQ(app.outputPath(), pathText(file));

    auto gate = phone->holdAnswer(phonesim::CommandPattern("AT+MPBRE=21,30"), 1800ms);
    sheet.current = WizardPageId::Exporting;
    ASSERT_TRUE(sheet.activate(*exportingPage));
    ASSERT_TRUE(gate->waitUntilHeld(30s));
    ASSERT_TRUE(waitFor(
        [&] { return exportingPage->findChild<QProgressBar*>("exportProgress")->value() == 20; }));
    sheet.screenshot(look + QStringLiteral("-3-exporting"));
    gate->release();
    ASSERT_TRUE(waitFor([&] { return sheet.nextPresses == 1; }));

    sheet.current = WizardPageId::Completion;
    ASSERT_TRUE(sheet.activate(*completionPage));
    sheet.screenshot(look + QStringLiteral("-4-completion"));

    const phonesim::Scenario& scenario = phone->scenario();
    const auto memory = export_test::expectedContacts(scenario, "ME", true);
    const auto sim = export_test::expectedContacts(scenario, "SM", true);
    // Compared whole, but not printed whole: the file is large.
    const std::string expected = export_test::expectedFile(
        "demo", export_test::joined(memory, sim), OutputFormat::GoogleCsv, output_charset::Ucs2);
    const std::string actual = test_support::readFileBytes(file);
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
    EXPECT_TRUE(
        completionPage->findChild<QLabel*>("memoryLine")
            ->text()
            .contains(QStringLiteral("completed (contacts written: %1,").arg(memory.size())));
    EXPECT_TRUE(completionPage->findChild<QLabel*>("simLine")->text().contains(
        QStringLiteral("completed (contacts written: %1,").arg(sim.size())));
    EXPECT_TRUE(dialogs.questions().empty());
}

INSTANTIATE_TEST_SUITE_P(Themes, PagesWalkTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& theme) {
                             return theme.param ? "Dark" : "Light";
                         });

}  // namespace
