// The sheet and its page flow: the real welcome and device list pages, scripted pages in the
// other four places, and questions answered by a script.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>

#include <memory>

#include "ModalDialogAnswerer.h"
#include "Screenshots.h"
#include "ScriptedPages.h"
#include "ScriptedUserDialogs.h"
#include "WizardTestApp.h"
#include "devices/DeviceManager.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"
#include "ui/CWizardDeviceList.h"
#include "ui/CWizardSheet.h"
#include "ui/CWizardWelcome.h"

using namespace std::chrono_literals;
using ui_test::ScriptedPage;
using ui_test::ScriptedPageFactory;
using ui_test::ScriptedUserDialogs;
using ui_test::WizardTestApp;
using Button = CWizardSheet::SheetButton;
using Transition = WizardPage::Transition;

namespace {

constexpr int kWaitMs = 15000;

DeviceRoots rootsOf(const phonesim::SimulatedDeviceTree& tree) {
    DeviceRoots roots;
    roots.sysfs = tree.sysfsRoot();
    roots.dev = tree.devRoot();
    return roots;
}

class SheetTest : public ::testing::Test {
protected:
    void makeSheet(bool welcome) {
        test.app().setShowWelcome(welcome);
        sheet = std::make_unique<CWizardSheet>(test.app(), dialogs, pages);
        sheet->show();
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    }

    WizardPageId current() const { return sheet->currentPageId(); }
    QAbstractButton* button(Button which) const { return sheet->sheetButton(which); }
    bool enabled(Button which) const { return button(which)->isEnabled(); }
    bool aboutVisible() const { return button(Button::About)->isVisible(); }
    ScriptedPage& page(WizardPageId id) const { return pages.page(id); }
    CWizardDeviceList& deviceList() const {
        return *qobject_cast<CWizardDeviceList*>(sheet->wizardPage(WizardPageId::DeviceList));
    }
    CWizardWelcome& welcome() const {
        return *qobject_cast<CWizardWelcome*>(sheet->wizardPage(WizardPageId::Welcome));
    }
    void screenshot(const char* name) {
        ui_test::saveScreenshot(sheet.get(),
                                ui_test::currentTestName() + u'-' + QLatin1String(name));
    }
    // Waits until the device list shows rows rows (bounded).
    bool waitForRows(int rows) {
        return QTest::qWaitFor(
            [&] { return deviceList().deviceList()->topLevelItemCount() == rows; }, kWaitMs);
    }

    WizardTestApp test;
    phonesim::SimulatedDeviceTree tree;
    ScriptedPageFactory pages{rootsOf(tree)};
    ScriptedUserDialogs dialogs;
    std::unique_ptr<CWizardSheet> sheet;
};

TEST_F(SheetTest, WithTheWelcomeFlagOffTheWizardOpensOnTheDeviceListAndNeverShowsAbout) {
    makeSheet(false);
    EXPECT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_EQ(sheet->currentId(), static_cast<int>(WizardPageId::DeviceList));
    EXPECT_EQ(sheet->windowTitle(), test.text(10207));
    EXPECT_TRUE(welcome().skipBox()->isChecked());
    EXPECT_FALSE(aboutVisible());
    // No phone: only Back.
    EXPECT_TRUE(enabled(Button::Back));
    EXPECT_FALSE(enabled(Button::Next));
    screenshot("device-list-empty");

    // Back finds no page before that accepts: the wizard stays.
    sheet->goBack();
    EXPECT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_FALSE(aboutVisible());
    EXPECT_FALSE(test.app().showWelcome());

    sheet->switchToPage(WizardPageId::ContactsSource);
    EXPECT_EQ(current(), WizardPageId::ContactsSource);
    EXPECT_FALSE(aboutVisible());
    sheet->goBack();
    EXPECT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_FALSE(aboutVisible());
    EXPECT_FALSE(test.app().showWelcome());
}

TEST_F(SheetTest, TheWelcomePageHasOnlyNextAndAboutAndItsBoxDecidesTheNextStart) {
    makeSheet(true);
    ASSERT_EQ(current(), WizardPageId::Welcome);
    EXPECT_EQ(sheet->windowTitle(), test.text(10214));
    EXPECT_TRUE(aboutVisible());
    EXPECT_FALSE(enabled(Button::Back));
    EXPECT_TRUE(enabled(Button::Next));
    EXPECT_FALSE(welcome().skipBox()->isChecked());
    EXPECT_EQ(button(Button::About)->text(), test.text(10270));
    EXPECT_EQ(button(Button::Back)->text(), test.text(10223));
    EXPECT_EQ(button(Button::Next)->text(), test.text(10222));
    EXPECT_EQ(button(Button::Cancel)->text(), test.text(10225));
    EXPECT_EQ(button(Button::Help)->text(), test.text(10231));
    EXPECT_EQ(button(Button::Back)->toolTip(), test.text(10249));
    EXPECT_EQ(button(Button::Next)->toolTip(), test.text(10234));
    EXPECT_EQ(button(Button::Cancel)->toolTip(), test.text(10250));
    EXPECT_EQ(button(Button::Help)->toolTip(), test.text(10252));
    screenshot("welcome");

    // Next from the keyboard (Return), box unticked: the page stays on for the next start.
    QTest::keyClick(sheet.get(), Qt::Key_Return);
    EXPECT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_TRUE(test.app().showWelcome());
    EXPECT_FALSE(aboutVisible());

    // Back to the welcome page, tick the box and go on with the mnemonics (a button pressed
    // by its mnemonic is clicked a moment later, as Qt shows the press).
    QTest::keyClick(sheet.get(), Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return current() == WizardPageId::Welcome; }, kWaitMs));
    EXPECT_TRUE(aboutVisible());
    QTest::keyClick(sheet.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return welcome().skipBox()->isChecked(); }, kWaitMs));
    QTest::keyClick(sheet.get(), Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return current() == WizardPageId::DeviceList; }, kWaitMs));
    EXPECT_FALSE(test.app().showWelcome());

    // Once switched off, the page is skipped also on the way back.
    sheet->goBack();
    EXPECT_EQ(current(), WizardPageId::DeviceList);
}

TEST_F(SheetTest, PagesThatRefuseAreSkippedInTheDirectionOfTravel) {
    makeSheet(false);
    page(WizardPageId::OutputPath).accepts = false;
    sheet->switchToPage(WizardPageId::ContactsSource);
    pages.clearLog();

    sheet->goNext();
    EXPECT_EQ(current(), WizardPageId::Exporting);
    sheet->goBack();
    EXPECT_EQ(current(), WizardPageId::ContactsSource);
    EXPECT_EQ(pages.log(), (std::vector<QString>{"ContactsSource:next", "OutputPath:active",
                                                 "Exporting:active", "Exporting:back",
                                                 "OutputPath:active", "ContactsSource:active"}));

    // When no page in the direction accepts, the wizard stays as it was, whatever the
    // refusing pages did to the buttons.
    sheet->switchToPage(WizardPageId::OutputPath);
    page(WizardPageId::OutputPath).accepts = true;
    sheet->switchToPage(WizardPageId::OutputPath);
    const QString caption = sheet->windowTitle();
    page(WizardPageId::Exporting).accepts = false;
    page(WizardPageId::Exporting).buttons = IWizardSheet::NoButton;
    page(WizardPageId::Completion).accepts = false;
    page(WizardPageId::Completion).buttons = IWizardSheet::NoButton;
    sheet->goNext();
    EXPECT_EQ(current(), WizardPageId::OutputPath);
    EXPECT_EQ(sheet->windowTitle(), caption);
    EXPECT_TRUE(enabled(Button::Back));
    EXPECT_TRUE(enabled(Button::Next));

    // A jump goes on in its own direction: back from the last page to a page that refuses
    // ends on the page before it.
    page(WizardPageId::Completion).accepts = true;
    page(WizardPageId::Completion).buttons = IWizardSheet::BackButton;
    sheet->switchToPage(WizardPageId::Completion);
    page(WizardPageId::OutputPath).accepts = false;
    sheet->switchToPage(WizardPageId::OutputPath);
    EXPECT_EQ(current(), WizardPageId::ContactsSource);
}

TEST_F(SheetTest, StayKeepsThePageAndJumpsGoWhereThePageSays) {
    makeSheet(false);
    sheet->switchToPage(WizardPageId::ContactsSource);
    page(WizardPageId::ContactsSource).next = Transition::stay();
    sheet->goNext();
    EXPECT_EQ(current(), WizardPageId::ContactsSource);

    page(WizardPageId::ContactsSource).next = Transition::jumpTo(WizardPageId::Exporting);
    sheet->goNext();
    EXPECT_EQ(current(), WizardPageId::Exporting);

    // The exporting page gives up at its start: it sends the wizard to the path page itself.
    sheet->switchToPage(WizardPageId::OutputPath);
    page(WizardPageId::Exporting).whenActivated = [this] {
        sheet->switchToPage(WizardPageId::OutputPath);
    };
    page(WizardPageId::Exporting).accepts = false;
    pages.clearLog();
    sheet->goNext();
    EXPECT_EQ(current(), WizardPageId::OutputPath);
    EXPECT_EQ(pages.log(),
              (std::vector<QString>{"OutputPath:next", "Exporting:active", "OutputPath:active"}));

    // pressNext presses Next after the current event, also while Next is disabled.
    page(WizardPageId::Exporting).whenActivated = nullptr;
    page(WizardPageId::Exporting).accepts = true;
    page(WizardPageId::Exporting).buttons = IWizardSheet::NoButton;
    sheet->goNext();
    ASSERT_EQ(current(), WizardPageId::Exporting);
    EXPECT_FALSE(enabled(Button::Next));
    sheet->pressNext();
    EXPECT_EQ(current(), WizardPageId::Exporting);
    EXPECT_TRUE(QTest::qWaitFor([&] { return current() == WizardPageId::Completion; }, kWaitMs));
}

TEST_F(SheetTest, CancelAnsweredNoKeepsThePageAndYesClosesTheWizard) {
    makeSheet(false);
    sheet->switchToPage(WizardPageId::OutputPath);
    dialogs.answerMessage(MessageAnswer::No);
    sheet->reject();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(current(), WizardPageId::OutputPath);
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& question = dialogs.questions()[0].message;
    EXPECT_EQ(question.caption, test.text(10229));
    EXPECT_EQ(question.text, test.text(10230));
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.questions()[0].owner, &page(WizardPageId::OutputPath));

    // A page that keeps the wizard open (the exporting page) is asked, the user is not.
    sheet->switchToPage(WizardPageId::Exporting);
    page(WizardPageId::Exporting).mayQuit = false;
    QTest::keyClick(sheet.get(), Qt::Key_Escape);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(dialogs.questions().size(), 1u);

    // The Cancel button, answered Yes.
    sheet->switchToPage(WizardPageId::Completion);
    dialogs.answerMessage(MessageAnswer::Yes);
    button(Button::Cancel)->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(dialogs.questions().size(), 2u);
}

TEST_F(SheetTest, BackOnTheCompletionPageGoesToTheDeviceListWithThePhoneReleased) {
    phonesim::Simulator phone(phonesim::BuiltInScenarios::demo());
    tree.addModemPhone(phone.portPath());
    makeSheet(false);
    page(WizardPageId::Completion).back = Transition::jumpTo(WizardPageId::DeviceList);
    page(WizardPageId::Completion).buttons = IWizardSheet::BackButton;
    page(WizardPageId::Completion).refreshesLabels = true;
    ASSERT_TRUE(waitForRows(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return enabled(Button::Next); }, kWaitMs));
    screenshot("device-list-demo-phone");

    sheet->goNext();  // opens the phone: it is extended, so nothing is asked
    ASSERT_EQ(current(), WizardPageId::ContactsSource);
    EXPECT_TRUE(test.app().hasPhoneManager());
    EXPECT_FALSE(test.app().devicePort().empty());
    EXPECT_EQ(test.app().deviceName(), u"Z3");
    sheet->goNext();
    sheet->goNext();
    sheet->goNext();
    ASSERT_EQ(current(), WizardPageId::Completion);
    EXPECT_EQ(button(Button::Cancel)->text(), test.text(10233));
    EXPECT_EQ(button(Button::Cancel)->toolTip(), test.text(10251));

    sheet->goBack();
    EXPECT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_FALSE(test.app().hasPhoneManager());
    EXPECT_TRUE(test.app().devicePort().empty());
    EXPECT_EQ(button(Button::Cancel)->text(), test.text(10225));
    EXPECT_EQ(button(Button::Cancel)->toolTip(), test.text(10250));
}

TEST_F(SheetTest, HelpOpensTheTopicOfTheCurrentPageOrSaysWhyNot) {
    makeSheet(true);
    std::string file;
    std::string anchor;
    ASSERT_TRUE(AppContext::helpPage(8, file, anchor));
    button(Button::Help)->click();
    ASSERT_EQ(test.help().opened.size(), 1u);
    EXPECT_EQ(test.help().opened[0].first.filename(), file);
    EXPECT_EQ(test.help().opened[0].second, anchor);

    sheet->goNext();
    ASSERT_TRUE(AppContext::helpPage(5, file, anchor));
    QTest::keyClick(sheet.get(), Qt::Key_F1);
    ASSERT_EQ(test.help().opened.size(), 2u);
    EXPECT_EQ(test.help().opened[1].first.filename(), file);
    EXPECT_EQ(test.help().opened[1].second, anchor);

    // No browser: the page tells so in a box of its own.
    test.help().opens = false;
    dialogs.answerMessage(MessageAnswer::Ok);
    sheet->showHelp();
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].owner, &deviceList());
    EXPECT_EQ(dialogs.questions()[0].message.caption, test.text(10281));
    EXPECT_EQ(dialogs.questions()[0].message.text, test.text(10280));
}

TEST_F(SheetTest, TheUnplugNoticeReachesThePageCurrentWhenItArrives) {
    makeSheet(false);
    sheet->switchToPage(WizardPageId::ContactsSource);
    sheet->notifyDeviceRemoved();
    EXPECT_EQ(page(WizardPageId::ContactsSource).removals, 0) << "delivered without waiting";
    sheet->switchToPage(WizardPageId::OutputPath);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return page(WizardPageId::OutputPath).removals == 1; }, kWaitMs));
    EXPECT_EQ(page(WizardPageId::ContactsSource).removals, 0);
}

TEST_F(SheetTest, CaptionsAreFetchedOnceLabelsWhenAsked) {
    makeSheet(false);
    sheet->switchToPage(WizardPageId::ContactsSource);
    const QString english = test.text(10203);
    EXPECT_EQ(sheet->windowTitle(), english);

    test.languages().unload();
    ASSERT_TRUE(test.languages().load(1031));
    test.languages().setLanguage(1031);
    ASSERT_NE(test.text(10203), english);

    sheet->goNext();
    EXPECT_EQ(sheet->windowTitle(), test.text(10211)) << "a first visit fetches the caption";
    EXPECT_EQ(button(Button::Next)->text(), QString("&Next >")) << "labels wait to be asked";
    sheet->goBack();
    EXPECT_EQ(sheet->windowTitle(), english) << "a later visit keeps the first caption";
    sheet->goBack();
    ASSERT_EQ(current(), WizardPageId::DeviceList);
    EXPECT_EQ(button(Button::Next)->text(), test.text(10222));
    EXPECT_NE(test.text(10222), QString("&Next >"));
}

// The header band, the pages and the buttons in a dark theme.
TEST_F(SheetTest, DarkTheme) {
    QStyle* previousStyle = QApplication::style();
    const QString previousName = previousStyle->name();
    const QPalette previous = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2d, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1f, 0x22));
    dark.setColor(QPalette::AlternateBase, QColor(0x2b, 0x2d, 0x30));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Button, QColor(0x3c, 0x3f, 0x41));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Highlight, QColor(0x35, 0x74, 0xf0));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Mid, QColor(0x55, 0x58, 0x5c));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);

    phonesim::Simulator phone(phonesim::BuiltInScenarios::demo());
    tree.addModemPhone(phone.portPath());
    tree.addDriverlessPhone();
    makeSheet(true);
    EXPECT_EQ(sheet->palette().color(QPalette::Base), dark.color(QPalette::Base));
    screenshot("welcome");
    sheet->goNext();
    ASSERT_TRUE(waitForRows(2));
    ASSERT_TRUE(deviceList().deviceManager().waitForQueued(std::chrono::milliseconds(kWaitMs)));
    QTest::qWait(0);
    screenshot("device-list");

    sheet.reset();
    QApplication::setPalette(previous);
    QApplication::setStyle(previousName);
}

}  // namespace
