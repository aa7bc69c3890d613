#pragma once

#include <cstdint>

#include "ui/WizardPage.h"

class QCheckBox;
class QLabel;
class QPushButton;

// The first page: a greeting, what the wizard does, the language button and "Skip this page".
//
// The page is skipped when the welcome flag is off (its box is then ticked, so the flag stays
// off); Next keeps the flag as the box says, for the next start. The language button opens the
// language dialog and loads the language chosen there; when that fails the previous language
// stays (with an error message), and when even that cannot be loaded again the program cannot
// go on: the critical error box, and the wizard ends.
class CWizardWelcome final : public WizardPage {
    Q_OBJECT

public:
    CWizardWelcome(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                   QWidget* parent = nullptr);

    bool onSetActive() override;
    Transition onWizardNext() override;

    // Opens the language dialog (over the page's window) and loads the language chosen.
    void chooseLanguage();

    QCheckBox* skipBox() const { return skip_; }
    QPushButton* languageButton() const { return language_; }
    QLabel* greeting() const { return greeting_; }
    QLabel* description() const { return description_; }

signals:
    // Another language was loaded: texts fetched from now on come in it.
    void languageChanged(std::uint16_t languageId);

private:
    QLabel* greeting_;
    QLabel* description_;
    QPushButton* language_;
    QCheckBox* skip_;
};
