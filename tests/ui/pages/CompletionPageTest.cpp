// The completion page: the summary lines, the shortened path, the phone released afterwards.
#include <gtest/gtest.h>

#include <QLabel>

#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "PageTestFixture.h"
#include "charsets/CharsetChoice.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "ui/CWizardCompletion.h"
#include "ui/CWizardExporting.h"

namespace {

using ui_test::PageTest;

constexpr StorageKind kMemory = StorageKind::Memory;
constexpr StorageKind kSim = StorageKind::Sim;

std::u16string repeated(char16_t unit, std::size_t count) {
    return std::u16string(count, unit);
}

TEST(CompletionPath, NinetyCharactersAreShownAsTheyAreAndLongerOnesLoseTheirMiddle) {
    // "/" + 80 letters + "/file.csv" = 90 characters.
    const std::u16string ninety = u"/" + repeated(u'a', 80) + u"/file.csv";
    ASSERT_EQ(ninety.size(), 90u);
    EXPECT_EQ(CWizardCompletion::shortenPath(ninety), ninety);

    const std::u16string ninetyOne = u"/" + repeated(u'a', 81) + u"/file.csv";
    const std::u16string shown = CWizardCompletion::shortenPath(ninetyOne);
    // The last "/" is at 82; 82 - (91 - 90) - 3 = 78 characters of the head are kept.
    EXPECT_EQ(shown, u"/" + repeated(u'a', 77) + u".../file.csv");
    EXPECT_EQ(shown.size(), 90u);

    // A file name too long for the head: the end of the path only.
    const std::u16string longName = u"/tmp/" + repeated(u'b', 100) + u".csv";
    EXPECT_EQ(CWizardCompletion::shortenPath(longName),
              u"..." + longName.substr(longName.size() - 87));
    // Without any "/".
    const std::u16string bare = repeated(u'c', 95);
    EXPECT_EQ(CWizardCompletion::shortenPath(bare), u"..." + repeated(u'c', 87));
    EXPECT_EQ(CWizardCompletion::shortenPath(u""), u"");
}

TEST(CompletionPath, ACharacterOfTwoUnitsIsNeverCutInHalf) {
    // Emoji (two UTF-16 units each) throughout the folder; the cut falls inside one.
    std::u16string folder;
    for (int i = 0; i < 45; ++i) {
        folder += u"\U0001F600";
    }
    const std::u16string path = u"/a" + folder + u"/x.csv";  // 98 units, last "/" at 92
    const std::u16string shown = CWizardCompletion::shortenPath(path);
    // 92 - 8 - 3 = 81 units of head would end in the middle of an emoji: 80 are kept.
    EXPECT_EQ(shown, u"/a" + folder.substr(0, 78) + u".../x.csv");
    EXPECT_EQ(shown.size(), 89u);
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
        const bool high = shown[i] >= 0xD800 && shown[i] <= 0xDBFF;
        const bool low = shown[i + 1] >= 0xDC00 && shown[i + 1] <= 0xDFFF;
        EXPECT_EQ(high, low) << "at " << i;
    }
}

class CompletionPageTest : public PageTest {};

TEST_F(CompletionPageTest, StorageLinesCarryTheStatusAndTheCounts) {
    struct Case {
        ExportResult result;
        std::uint32_t status;
    };
    const std::vector<Case> cases = {
        {ExportResult::None, 10245},       {ExportResult::Completed, 10243},
        {ExportResult::Failed, 10244},     {ExportResult::Disconnected, 10244},
        {ExportResult::WriteError, 10263}, {ExportResult::Cancelled, 10245},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CWizardCompletion::statusTextId(c.result), c.status);
    }
    EXPECT_EQ(
        CWizardCompletion::storageLine(app, kSim, true, {12, 10, 9, ExportResult::Disconnected}),
        u"SIM: failed (contacts written: 9, entries read: 10 of 12)");
    EXPECT_EQ(
        CWizardCompletion::storageLine(app, kMemory, false, {12, 10, 9, ExportResult::Completed}),
        u"Device internal memory: not chosen");
}

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
    EXPECT_EQ(line("pathLine"), QString::fromStdU16String(CWizardCompletion::shortenPath(path)));
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
