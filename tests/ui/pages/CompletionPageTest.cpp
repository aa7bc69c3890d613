// The completion page after an export: its summary lines, and the phone released afterwards.
#include <gtest/gtest.h>

#include <QLabel>

#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "PageTestFixture.h"
#include "charsets/CharsetChoice.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "pages/CompletionSummary.h"
#include "phonesim/BuiltInScenarios.h"
#include "ui/CWizardCompletion.h"
#include "ui/CWizardExporting.h"

namespace {

using ui_test::PageTest;

std::u16string repeated(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

class CompletionPageTest : public PageTest {};

TEST_F(CompletionPageTest, ASimOnlyExportShowsItsCountsAndTheMemoryAsNotChosen) {
    selectPhone(phonesim::BuiltInScenarios::load("standard-ucs2"), false, u"Korvanta Z1");
    app.setSimSelected(true);
    app.setCharsetName(u"UCS2");
    app.setOutputFormatAndCharset(OutputFormat::GoogleCsv, output_charset::Ucs2);
    // A path of 91 characters, in an existing folder.
    const std::filesystem::path folder = dir.path();
    std::u16string path = pathText(folder) + u"/";
    path += repeated(u'n', 91 - path.size() - 4) + u".csv";
    ASSERT_EQ(path.size(), 91u);
    app.setOutputPath(path);

    auto* exporting = new CWizardExporting(app, sheet, dialogs);
    sheet.host(exporting);
    sheet.current = WizardPageId::Exporting;
    ASSERT_TRUE(sheet.activate(*exporting));
    ASSERT_TRUE(waitFor([this] { return sheet.nextPresses == 1; }));

    auto* page = new CWizardCompletion(app, sheet, dialogs);
    sheet.host(page);
    sheet.current = WizardPageId::Completion;
    ASSERT_TRUE(sheet.activate(*page));
    EXPECT_EQ(sheet.captions.back(), tx(10202));
    EXPECT_EQ(sheet.labelRefreshes, 1);
    EXPECT_EQ(sheet.lastButtons(), IWizardSheet::BackButton);
    sheet.screenshot("sim-only");

    const auto line = [page](const char* name) {
        const QLabel* label = page->findChild<QLabel*>(name);
        return label != nullptr ? label->text() : QStringLiteral("(no %1)").arg(name);
    };
    const std::int32_t contacts = static_cast<std::int32_t>(
        export_test::expectedContacts(phone->scenario(), "SM", false).size());
    EXPECT_EQ(line("summaryHeading"), tx(10235));
    EXPECT_EQ(line("phoneLine"), QStringLiteral("Phone: Korvanta Z1"));
    EXPECT_EQ(line("memoryLine"), QStringLiteral("Device internal memory: not chosen"));
    EXPECT_EQ(line("simLine"), QStringLiteral("SIM: completed (contacts written: %1, entries "
                                              "read: %1 of %1)")
                                   .arg(contacts));
    EXPECT_EQ(line("pathLine"), QString::fromStdU16String(CompletionSummary::shortenPath(path)));
    EXPECT_EQ(line("pathLine").size(), 90);
    EXPECT_EQ(page->findChild<QLabel*>("pathLine")->toolTip(), QString::fromStdU16String(path));
    EXPECT_EQ(line("charsetLine"), QStringLiteral("Character set: UCS2"));

    // The phone is released once the summary is shown.
    EXPECT_FALSE(app.hasPhoneManager());
    const WizardPage::Transition back = page->onWizardBack();
    EXPECT_EQ(back.kind, WizardPage::Transition::Kind::JumpTo);
    EXPECT_EQ(back.target, WizardPageId::DeviceList);
    EXPECT_TRUE(dialogs.questions().empty());
}

}  // namespace
