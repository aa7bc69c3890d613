#include "ui/CWizardWelcome.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/ApplicationRun.h"
#include "app/UiTextIds.h"
#include "ui/CLangSelectionDialog.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"
#include "ui/LanguageSwitch.h"

namespace {

constexpr std::int32_t kHelpTopic = 8;

}  // namespace

CWizardWelcome::CWizardWelcome(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                               QWidget* parent)
    : WizardPage(WizardPageId::Welcome, kHelpTopic, app, sheet, dialogs, parent),
      greeting_(new QLabel(text(ui_text::Greeting), this)),
      description_(new QLabel(text(ui_text::WelcomeDescription), this)),
      language_(new QPushButton(text(ui_text::LanguageLabel), this)),
      skip_(new QCheckBox(text(ui_text::SkipWelcome), this)) {
    greeting_->setTextFormat(Qt::PlainText);
    greeting_->setWordWrap(true);
    QFont large = greeting_->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    greeting_->setFont(large);
    description_->setTextFormat(Qt::PlainText);
    description_->setWordWrap(true);
    skip_->setChecked(!app.showWelcome());
    // Return presses the wizard's Next, also while this button has the focus (Space presses it).
    language_->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(greeting_);
    layout->addSpacing(12);
    layout->addWidget(description_);
    layout->addStretch(1);
    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(language_);
    languageRow->addStretch(1);
    layout->addLayout(languageRow);
    layout->addSpacing(8);
    layout->addWidget(skip_);

    connect(language_, &QPushButton::clicked, this, &CWizardWelcome::chooseLanguage);
}

bool CWizardWelcome::onSetActive() {
    if (!app().showWelcome()) {
        // The box was ticked when the page was made, so the flag stays off.
        app().setShowWelcome(!skip_->isChecked());
        return false;
    }
    sheet().setWizardButtons(IWizardSheet::NextButton);
    return true;
}

WizardPage::Transition CWizardWelcome::onWizardNext() {
    app().setShowWelcome(!skip_->isChecked());
    return Transition::step();
}

void CWizardWelcome::chooseLanguage() {
    const std::uint16_t previous = app().language();
    {
        CLangSelectionDialog dialog(app(), window());
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
    }
    const std::uint16_t chosen = app().language();
    if (chosen == previous) {
        return;
    }
    switch (switchLanguage(app().languageManager(), previous, chosen)) {
        case LanguageSwitchOutcome::Loaded:
            emit languageChanged(chosen);
            return;
        case LanguageSwitchOutcome::KeptPrevious:
            // The message comes in the language loaded again.
            dialogs().showMessage(
                this, MessageRequest{text(ui_text::ErrorCaption), text(ui_text::LanguageNotLoaded),
                                     MessageIcon::Error, MessageButtons::Ok});
            return;
        case LanguageSwitchOutcome::NoneLoaded:
            dialogs().showMessage(nullptr,
                                  MessageRequest{QString::fromStdU16String(kCriticalErrorCaption),
                                                 QString::fromStdU16String(kCriticalErrorText),
                                                 MessageIcon::Error, MessageButtons::Ok});
            sheet().endWizard();
            return;
    }
}
