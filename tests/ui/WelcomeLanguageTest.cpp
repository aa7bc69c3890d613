// The welcome page with its language button, the language dialog and its entries, the reload
// of the language and its failures, the About dialog and Qt's own translations.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <memory>

#include "ModalDialogAnswerer.h"
#include "RecordingSheet.h"
#include "Screenshots.h"
#include "ScriptedPages.h"
#include "ScriptedUserDialogs.h"
#include "WizardTestApp.h"
#include "app/ApplicationRun.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "ui/CAboutDlg.h"
#include "ui/CLangSelectionDialog.h"
#include "ui/CWizardSheet.h"
#include "ui/CWizardWelcome.h"
#include "ui/LanguageChoices.h"
#include "ui/QtTranslations.h"

using ui_test::ModalDialogAnswerer;
using ui_test::RecordingSheet;
using ui_test::ScriptedUserDialogs;
using ui_test::WizardTestApp;

namespace {

std::vector<QString> namesOf(const std::vector<LanguageChoice>& choices) {
    std::vector<QString> names;
    for (const LanguageChoice& choice : choices) {
        names.push_back(choice.name);
    }
    return names;
}

TEST(LanguageChoices, TheLanguagesAreNamedInTheirOwnWordsCapitalisedAndSorted) {
    WizardTestApp test;
    const std::vector<LanguageChoice> choices =
        language_choices::list(test.languages(), QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(namesOf(choices), (std::vector<QString>{"American English", "Deutsch",
                                                      "Español de España", "Français", "Русский"}));
    EXPECT_EQ(choices[1].id, 1031);
    EXPECT_EQ(choices[4].id, 1049);

    // Upper case by the user's rules, one whole character.
    const QLocale english(QStringLiteral("en_US"));
    EXPECT_EQ(language_choices::withCapital("istanbul", QLocale(QStringLiteral("tr_TR"))),
              QString::fromUtf8("İstanbul"));
    EXPECT_EQ(language_choices::withCapital("istanbul", english), QStringLiteral("Istanbul"));
    EXPECT_EQ(language_choices::withCapital(QString::fromUtf8("ǆemal"), english),
              QString::fromUtf8("Ǆemal"));
    EXPECT_EQ(language_choices::withCapital({}, english), QString());
    EXPECT_EQ(language_choices::withCapital("Locale 0x7F7F", english),
              QStringLiteral("Locale 0x7F7F"));
}

TEST(LanguageChoices, TheSelectionIsTheCurrentLanguageElseTheSystemsElseTheFirst) {
    const std::vector<LanguageChoice> choices{
        {1031, "Deutsch"}, {1033, "English"}, {1036, "Français"}};
    EXPECT_EQ(language_choices::initialSelection(choices, 1036, 1031), 2);
    EXPECT_EQ(language_choices::initialSelection(choices, 0, 1033), 1);
    EXPECT_EQ(language_choices::initialSelection(choices, 1049, 1031), 0);
    EXPECT_EQ(language_choices::initialSelection(choices, 1049, 3082), 0);
    EXPECT_EQ(language_choices::initialSelection(choices, 1049, 0), 0);
    EXPECT_EQ(language_choices::initialSelection({}, 1033, 1033), -1);
    EXPECT_EQ(language_choices::initialSelection({{1033, "English"}}, 1033, 0), 0);
}

// Selects the entry of the language in the dialog, then presses OK.
ModalDialogAnswerer::Answer choose(std::uint16_t id) {
    return [id](QWidget* window) {
        auto* dialog = qobject_cast<CLangSelectionDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        const int index = dialog->languageList()->findData(QVariant::fromValue(uint{id}));
        ASSERT_GE(index, 0);
        dialog->languageList()->setCurrentIndex(index);
        dialog->accept();
    };
}

class WelcomeTest : public ::testing::Test {
protected:
    WelcomeTest() {
        sheet.current = WizardPageId::Welcome;
        test.app().setShowWelcome(true);
        page = std::make_unique<CWizardWelcome>(test.app(), sheet, dialogs);
        page->resize(560, 320);
        page->show();
    }

    void removeLanguageFile(const char* name) {
        ASSERT_TRUE(std::filesystem::remove(test.languageFolder() / name));
    }

    WizardTestApp test;
    RecordingSheet sheet;
    ScriptedUserDialogs dialogs;
    ModalDialogAnswerer answerer;
    std::unique_ptr<CWizardWelcome> page;
};

TEST_F(WelcomeTest, ThePageShowsItsTextsAndAChosenLanguageServesTheTextsFetchedLater) {
    EXPECT_EQ(page->greeting()->text(), test.text(10216));
    EXPECT_EQ(page->description()->text(), test.text(10217));
    EXPECT_EQ(page->skipBox()->text(), test.text(10215));
    EXPECT_EQ(page->languageButton()->text(), test.text(10279));
    EXPECT_TRUE(page->onSetActive());
    EXPECT_EQ(sheet.buttons, IWizardSheet::NextButton);
    ui_test::saveScreenshot(page.get(), ui_test::currentTestName());

    const QString englishNext = test.text(10222);
    QSignalSpy changed(page.get(), &CWizardWelcome::languageChanged);
    answerer.expect([&](QWidget* window) {
        auto* dialog = qobject_cast<CLangSelectionDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Language"));
        EXPECT_EQ(dialog->languageList()->count(), 5);
        EXPECT_EQ(dialog->languageList()->currentData().toUInt(), 1033u);
        choose(1031)(window);
    });
    page->languageButton()->click();
    EXPECT_EQ(test.languages().language(), 1031);
    EXPECT_NE(test.text(10222), englishNext);
    EXPECT_EQ(test.text(10222), QString::fromStdU16String(test.app().text(10222)));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<std::uint16_t>(), 1031);
    // Texts on screen stay as they were.
    EXPECT_EQ(page->languageButton()->text(), QStringLiteral("&Language..."));

    // The dialog opens on the language now current; Cancel changes nothing.
    answerer.expect([](QWidget* window) {
        auto* dialog = qobject_cast<CLangSelectionDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->languageList()->currentData().toUInt(), 1031u);
        dialog->languageList()->setCurrentIndex(0);
        dialog->reject();
    });
    page->chooseLanguage();
    EXPECT_EQ(test.languages().language(), 1031);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(dialogs.questions().empty());
}

TEST_F(WelcomeTest, ALanguageThatCannotBeLoadedLeavesThePreviousOneWithAMessage) {
    removeLanguageFile("de.po");
    dialogs.answerMessage(MessageAnswer::Ok);
    answerer.expect(choose(1031));
    page->chooseLanguage();

    EXPECT_EQ(test.languages().language(), 1033);
    EXPECT_EQ(test.text(10222), QStringLiteral("&Next >"));
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].owner, page.get());
    EXPECT_EQ(dialogs.questions()[0].message.caption, test.text(10281));
    EXPECT_EQ(dialogs.questions()[0].message.text, test.text(10285));
    EXPECT_EQ(dialogs.questions()[0].message.icon, MessageIcon::Error);
    EXPECT_FALSE(sheet.ended);
}

TEST_F(WelcomeTest, WhenNeitherLanguageLoadsTheCriticalErrorEndsTheWizard) {
    removeLanguageFile("de.po");
    removeLanguageFile("en.po");
    dialogs.answerMessage(MessageAnswer::Ok);
    answerer.expect(choose(1031));
    page->chooseLanguage();

    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].owner, nullptr);
    EXPECT_EQ(dialogs.questions()[0].message.caption,
              QString::fromStdU16String(kCriticalErrorCaption));
    EXPECT_EQ(dialogs.questions()[0].message.text, QString::fromStdU16String(kCriticalErrorText));
    EXPECT_TRUE(sheet.ended);
    EXPECT_EQ(test.languages().language(), 1033) << "kept for the settings, though not loaded";
    EXPECT_TRUE(test.app().text(10222).empty());
}

TEST_F(WelcomeTest, TheSameLanguageConfirmedIsNotLoadedAgain) {
    removeLanguageFile("en.po");
    answerer.expect(choose(1033));
    page->chooseLanguage();
    EXPECT_EQ(test.text(10222), QStringLiteral("&Next >"));
    EXPECT_TRUE(dialogs.questions().empty());
}

// In the sheet, a failed reload ends the modal wizard; About is opened from the welcome page.
TEST(WelcomeInTheSheet, AboutShowsTheProgramAndAFailedReloadEndsTheWizard) {
    WizardTestApp test;
    phonesim::SimulatedDeviceTree tree;
    DeviceRoots roots;
    roots.sysfs = tree.sysfsRoot();
    roots.dev = tree.devRoot();
    ui_test::ScriptedPageFactory pages(roots);
    ScriptedUserDialogs dialogs;
    CWizardSheet sheet(test.app(), dialogs, pages);
    ModalDialogAnswerer answerer;
    // The sheet itself is the first modal window; from its loop: About, then the language
    // dialog, whose choice cannot be loaded, nor can the language before it.
    std::filesystem::remove(test.languageFolder() / "de.po");
    std::filesystem::remove(test.languageFolder() / "en.po");
    dialogs.answerMessage(MessageAnswer::Ok);
    answerer.expect([&](QWidget* window) {
        ASSERT_EQ(window, &sheet);
        sheet.sheetButton(CWizardSheet::SheetButton::About)->click();
        qobject_cast<CWizardWelcome*>(sheet.wizardPage(WizardPageId::Welcome))
            ->languageButton()
            ->click();
    });
    answerer.expect([&](QWidget* window) {
        auto* about = qobject_cast<CAboutDlg*>(window);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), test.text(10294));
        EXPECT_EQ(about->nameLine()->text(), QStringLiteral("Contaxio"));
        EXPECT_TRUE(test.text(10295).endsWith(about->firstBlock()->text()));
        EXPECT_EQ(about->secondBlock()->text(), test.text(10297));
        about->accept();
    });
    answerer.expect(choose(1031));
    EXPECT_EQ(sheet.exec(), QDialog::Rejected);
    EXPECT_FALSE(sheet.isVisible());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption,
              QString::fromStdU16String(kCriticalErrorCaption));
}

TEST(QtTranslations, QtsOwnButtonsFollowTheLanguage) {
    QtTranslations translations;
    ASSERT_TRUE(translations.install(1031));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    ASSERT_TRUE(translations.install(1036));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Oui"));
    translations.install(1033);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    EXPECT_FALSE(translations.install(0x7F7F)) << "no locale for the id";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

}  // namespace
