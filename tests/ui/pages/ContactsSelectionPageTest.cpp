// The contacts source page against simulated phones: the query once per selected phone, the
// storage boxes, the charset choice and the buttons.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "ExpectedExport.h"
#include "PageTestFixture.h"
#include "charsets/CharsetChoice.h"
#include "export/OutputFormat.h"
#include "phonesim/BuiltInScenarios.h"
#include "ui/CWizardContactsSelection.h"

namespace {

using ui_test::PageTest;
using Buttons = std::vector<unsigned>;

constexpr unsigned kBack = IWizardSheet::BackButton;
constexpr unsigned kBackNext = IWizardSheet::BackButton | IWizardSheet::NextButton;

std::size_t countOf(const std::vector<std::string>& commands, const std::string& command) {
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
}

class ContactsSelectionPageTest : public PageTest {
protected:
    CWizardContactsSelection& makePage() {
        page = new CWizardContactsSelection(app, sheet, dialogs);
        sheet.host(page);
        return *page;
    }

    // Activates the page and waits until the phone's storages are shown.
    void activateAndWait() {
        ASSERT_TRUE(sheet.activate(*page));
        ASSERT_TRUE(waitFor([this] { return page->storagesKnown(); }));
    }

    QCheckBox* memoryBox() const { return page->findChild<QCheckBox*>("memoryBox"); }
    QCheckBox* simBox() const { return page->findChild<QCheckBox*>("simBox"); }

    CWizardContactsSelection* page = nullptr;
};

TEST_F(ContactsSelectionPageTest, APhoneWithBothStoragesOffersAndTicksBoth) {
    app.setOutputFormatAndCharset(OutputFormat::OutlookCsv, output_charset::Ascii);
    selectPhone(phonesim::BuiltInScenarios::load("standard-ucs2"), false);
    makePage();
    ASSERT_NE(memoryBox(), nullptr);
    ASSERT_NE(simBox(), nullptr);
    EXPECT_FALSE(memoryBox()->isEnabled());
    EXPECT_FALSE(simBox()->isEnabled());
    EXPECT_EQ(memoryBox()->text(), tx(10205));
    EXPECT_EQ(simBox()->toolTip(), tx(10256));
    EXPECT_EQ(memoryBox()->toolTip(), tx(10255));

    sheet.current = WizardPageId::ContactsSource;
    ASSERT_TRUE(sheet.activate(*page));
    EXPECT_EQ(sheet.captions, std::vector<QString>{tx(10203)});
    // Nothing is known yet: Back only.
    EXPECT_EQ(sheet.lastButtons(), kBack);
    EXPECT_FALSE(app.needsPhoneQuery());
    ASSERT_TRUE(waitFor([this] { return page->storagesKnown(); }));

    EXPECT_TRUE(memoryBox()->isEnabled() && memoryBox()->isChecked());
    EXPECT_TRUE(simBox()->isEnabled() && simBox()->isChecked());
    EXPECT_EQ(sheet.lastButtons(), kBackNext);
    // Read in UCS2, written as UTF-16; the layout stays as it was.
    EXPECT_EQ(app.charsetName(), u"UCS2");
    EXPECT_EQ(app.outputFormatAndCharset(),
              std::make_pair(OutputFormat::OutlookCsv, output_charset::Ucs2));
    // The charsets are asked for first, then the storages.
    const std::vector<std::string> commands = phone->transcript();
    const auto charsets = std::find(commands.begin(), commands.end(), "AT+CSCS=?");
    const auto storages = std::find(commands.begin(), commands.end(), "AT+CPBS=?");
    EXPECT_LT(charsets, storages);
    EXPECT_NE(storages, commands.end());
    sheet.screenshot("both-storages");

    // Unticking both disables Next; ticking one enables it again.
    memoryBox()->click();
    EXPECT_EQ(sheet.lastButtons(), kBackNext);
    simBox()->click();
    EXPECT_EQ(sheet.lastButtons(), kBack);
    simBox()->click();
    EXPECT_EQ(sheet.lastButtons(), kBackNext);

    EXPECT_EQ(page->onWizardNext().kind, WizardPage::Transition::Kind::Step);
    EXPECT_TRUE(app.simSelected());
    EXPECT_FALSE(app.deviceMemorySelected());

    // A later visit (Back from the path page) asks nothing and shows the choice made.
    const std::size_t sent = phone->transcript().size();
    ASSERT_TRUE(sheet.activate(*page));
    QTest::qWait(0);
    EXPECT_EQ(phone->transcript().size(), sent);
    EXPECT_TRUE(page->storagesKnown());
    EXPECT_TRUE(simBox()->isChecked());
    EXPECT_FALSE(memoryBox()->isChecked());
    EXPECT_TRUE(memoryBox()->isEnabled());
    EXPECT_EQ(sheet.lastButtons(), kBackNext);
    EXPECT_EQ(countOf(phone->transcript(), "AT+CSCS=?"), 1u);
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(ContactsSelectionPageTest, APhoneWithOnlyUtf8IsReadInUtf8WithoutAWord) {
    selectPhone(phonesim::BuiltInScenarios::load("utf8-only"), true);
    makePage();
    sheet.current = WizardPageId::ContactsSource;
    activateAndWait();
    EXPECT_EQ(app.charsetName(), u"UTF8");
    EXPECT_EQ(app.outputFormatAndCharset().second, output_charset::Utf8);
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(ContactsSelectionPageTest, APhoneWithNeitherUcs2NorUtf8IsReadInAsciiAfterAWarning) {
    dialogs.answerMessage(MessageAnswer::Ok);
    selectPhone(phonesim::BuiltInScenarios::load("ascii-only"), false);
    makePage();
    sheet.current = WizardPageId::ContactsSource;
    activateAndWait();
    ASSERT_TRUE(waitFor([this] { return !dialogs.questions().empty(); }));
    EXPECT_EQ(app.charsetName(), u"ASCII");
    EXPECT_EQ(app.outputFormatAndCharset().second, output_charset::Ascii);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& warning = dialogs.questions()[0].message;
    EXPECT_EQ(warning.caption, tx(10264));
    EXPECT_EQ(warning.text, tx(10273));
    EXPECT_EQ(warning.icon, MessageIcon::Warning);
    EXPECT_EQ(warning.buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.questions()[0].owner, page);
}

TEST_F(ContactsSelectionPageTest, AStorageThePhoneLacksCannotBeTickedNorOfferedFromTheLastPhone) {
    selectPhone(phonesim::BuiltInScenarios::load("standard-ucs2"), false);
    makePage();
    sheet.current = WizardPageId::ContactsSource;
    activateAndWait();
    ASSERT_TRUE(memoryBox()->isEnabled());

    // Another phone, with the SIM only: nothing can be ticked until its storages are known,
    // then only the SIM.
    selectPhone(export_test::scenarioFrom("[storage SM]\n[contact SM 1]\nname = Ann\n"), false,
                u"Korvanta Z9");
    ASSERT_TRUE(sheet.activate(*page));
    EXPECT_FALSE(memoryBox()->isEnabled());
    EXPECT_FALSE(simBox()->isEnabled());
    EXPECT_EQ(sheet.lastButtons(), kBack);
    ASSERT_TRUE(waitFor([this] { return page->storagesKnown(); }));
    EXPECT_FALSE(memoryBox()->isEnabled());
    EXPECT_FALSE(memoryBox()->isChecked());
    EXPECT_TRUE(simBox()->isEnabled() && simBox()->isChecked());
    EXPECT_EQ(sheet.lastButtons(), kBackNext);

    // A phone with no storage the program knows: both boxes stay off, and so does Next.
    selectPhone(export_test::scenarioFrom("[storage FD]\n"), false, u"Korvanta Z0");
    ASSERT_TRUE(sheet.activate(*page));
    ASSERT_TRUE(waitFor([this] { return page->storagesKnown(); }));
    EXPECT_FALSE(memoryBox()->isEnabled() || memoryBox()->isChecked());
    EXPECT_FALSE(simBox()->isEnabled() || simBox()->isChecked());
    EXPECT_EQ(sheet.lastButtons(), kBack);
    sheet.screenshot("no-storage");
}

TEST_F(ContactsSelectionPageTest, AnAnswerAfterTheUserLeftLeavesTheOtherPagesButtonsAlone) {
    selectPhone(phonesim::BuiltInScenarios::load("standard-ucs2"), false);
    makePage();
    sheet.current = WizardPageId::ContactsSource;
    ASSERT_TRUE(sheet.activate(*page));
    const std::size_t calls = sheet.buttons.size();
    sheet.current = WizardPageId::DeviceList;  // Back, before the phone answered
    ASSERT_TRUE(waitFor([this] { return page->storagesKnown(); }));
    EXPECT_EQ(sheet.buttons.size(), calls);
    EXPECT_TRUE(simBox()->isChecked());
}

TEST_F(ContactsSelectionPageTest, AnUnpluggedPhoneIsNamedAndTheDeviceListFollows) {
    dialogs.answerMessage(MessageAnswer::Ok);
    selectPhone(phonesim::BuiltInScenarios::load("standard-ucs2"), false, u"Korvanta \"Z1\" <b>");
    makePage();
    sheet.current = WizardPageId::ContactsSource;
    activateAndWait();
    page->onDeviceRemoved();
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& warning = dialogs.questions()[0].message;
    EXPECT_EQ(warning.caption, tx(10262));
    EXPECT_EQ(warning.text,
              tx(10260).replace(QStringLiteral("%1"), QStringLiteral("Korvanta \"Z1\" <b>")));
    EXPECT_EQ(warning.icon, MessageIcon::Warning);
    EXPECT_EQ(sheet.jumps, std::vector<WizardPageId>{WizardPageId::DeviceList});
}

}  // namespace
