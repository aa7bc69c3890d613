#include "ui/CWizardSheet.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "app/AppContext.h"
#include "app/UiTextIds.h"
#include "ui/CAboutDlg.h"
#include "ui/CWizardWelcome.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardPageFactory.h"
#include "ui/OwnedMessageBox.h"
#include "ui/WizardArtwork.h"

namespace {

// The window caption of each page, in page order.
constexpr std::array<std::uint32_t, 6> kCaptionIds = {
    ui_text::WelcomeCaption, ui_text::DeviceListCaption, ui_text::ContactsCaption,
    ui_text::PathCaption,    ui_text::ExportingCaption,  ui_text::CompletionCaption};

// QWizard's own Back and Next would follow QWizard's history; the sheet's are custom buttons.
constexpr QWizard::WizardButton kBackButton = QWizard::CustomButton1;
constexpr QWizard::WizardButton kNextButton = QWizard::CustomButton2;
constexpr QWizard::WizardButton kAboutButton = QWizard::CustomButton3;

QWizard::WizardButton wizardButtonOf(CWizardSheet::SheetButton which) {
    switch (which) {
        case CWizardSheet::SheetButton::Back:
            return kBackButton;
        case CWizardSheet::SheetButton::Next:
            return kNextButton;
        case CWizardSheet::SheetButton::Cancel:
            return QWizard::CancelButton;
        case CWizardSheet::SheetButton::Help:
            return QWizard::HelpButton;
        case CWizardSheet::SheetButton::About:
            break;
    }
    return kAboutButton;
}

}  // namespace

CWizardSheet::CWizardSheet(AppContext& app, IUserDialogs& dialogs, IWizardPageFactory& pages,
                           QWidget* parent)
    : QWizard(parent), app_(app), dialogs_(dialogs) {
    setWizardStyle(QWizard::ModernStyle);
    setOptions(QWizard::HaveHelpButton | QWizard::HaveCustomButton1 | QWizard::HaveCustomButton2 |
               QWizard::HaveCustomButton3);
    // The About button at the far left, Help beside it, then Back, Next and Cancel.
    setButtonLayout({kAboutButton, QWizard::HelpButton, QWizard::Stretch, kBackButton, kNextButton,
                     QWizard::CancelButton});
    for (std::size_t i = 0; i < kPageCount; ++i) {
        WizardPage* page = pages.createPage(kWizardPageOrder[i], app_, *this, dialogs_, this);
        // The header band shows on pages with a subtitle. The pages set no title or subtitle
        // text of their own: a blank keeps the band (with the header picture) on every page.
        page->setSubTitle(QStringLiteral(" "));
        setPage(static_cast<int>(kWizardPageOrder[i]), page);
        pages_[i] = page;
        if (auto* welcome = qobject_cast<CWizardWelcome*>(page)) {
            connect(welcome, &CWizardWelcome::languageChanged, this,
                    &CWizardSheet::languageChanged);
        }
    }
    applyWizardArtwork(this);
    setMinimumSize(600, 440);

    connect(this, &QWizard::customButtonClicked, this, [this](int which) {
        switch (which) {
            case kBackButton:
                goBack();
                break;
            case kNextButton:
                goNext();
                break;
            case kAboutButton:
                showAbout();
                break;
            default:
                break;
        }
    });
    connect(this, &QWizard::helpRequested, this, &CWizardSheet::showHelp);
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, &CWizardSheet::showHelp);

    setWizardButtons(IWizardSheet::NoButton);
    sheetButton(SheetButton::About)->setVisible(false);
}

CWizardSheet::~CWizardSheet() = default;

QString CWizardSheet::text(std::uint32_t id) const {
    return QString::fromStdU16String(app_.text(id));
}

std::size_t CWizardSheet::indexOf(WizardPageId id) const {
    for (std::size_t i = 0; i < kPageCount; ++i) {
        if (kWizardPageOrder[i] == id) {
            return i;
        }
    }
    return 0;
}

WizardPage* CWizardSheet::wizardPage(WizardPageId id) const {
    return pages_[indexOf(id)];
}

WizardPage* CWizardSheet::currentWizardPage() const {
    return started_ ? pages_[current_] : nullptr;
}

QAbstractButton* CWizardSheet::sheetButton(SheetButton which) const {
    return button(wizardButtonOf(which));
}

void CWizardSheet::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void CWizardSheet::setWizardButtons(unsigned buttons) {
    enabledButtons_ = buttons & (IWizardSheet::BackButton | IWizardSheet::NextButton);
    button(kBackButton)->setEnabled((buttons & IWizardSheet::BackButton) != 0);
    button(kNextButton)->setEnabled((buttons & IWizardSheet::NextButton) != 0);
}

void CWizardSheet::pressNext() {
    // As the user would: after the event being handled now, whether Next is enabled or not.
    QMetaObject::invokeMethod(this, &CWizardSheet::goNext, Qt::QueuedConnection);
}

WizardPageId CWizardSheet::currentPageId() const {
    return activating_ ? *activating_ : kWizardPageOrder[current_];
}

void CWizardSheet::refreshButtonLabels() {
    const bool last = currentPageId() == WizardPageId::Completion;
    setButtonText(kBackButton, text(ui_text::BackLabel));
    setButtonText(kNextButton, text(ui_text::NextLabel));
    setButtonText(QWizard::FinishButton, text(ui_text::FinishLabel));
    setButtonText(QWizard::CancelButton, text(last ? ui_text::CloseLabel : ui_text::CancelLabel));
    setButtonText(QWizard::HelpButton, text(ui_text::HelpLabel));
    setButtonText(kAboutButton, text(ui_text::AboutLabel));
    button(kBackButton)->setToolTip(text(ui_text::BackTip));
    button(kNextButton)->setToolTip(text(ui_text::NextTip));
    button(QWizard::CancelButton)->setToolTip(text(last ? ui_text::CloseTip : ui_text::CancelTip));
    button(QWizard::HelpButton)->setToolTip(text(ui_text::HelpTip));
}

void CWizardSheet::notifyDeviceRemoved() {
    // Posted, not called: the page that notices the unplug does not wait for the one that
    // is current when the notice arrives.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (WizardPage* page = currentWizardPage()) {
                page->onDeviceRemoved();
            }
        },
        Qt::QueuedConnection);
}

void CWizardSheet::endWizard() {
    QWizard::done(QDialog::Rejected);
}

void CWizardSheet::start() {
    if (started_) {
        return;
    }
    started_ = true;
    if (!activate(0, +1)) {
        showPageAt(0);  // no page accepted: the pages cannot all refuse, but never show none
    }
}

void CWizardSheet::setVisible(bool visible) {
    if (visible) {
        start();
        refreshButtonLabels();
    }
    QWizard::setVisible(visible);
}

bool CWizardSheet::activate(std::ptrdiff_t index, int direction) {
    const unsigned buttonsBefore = enabledButtons_;
    const QString captionBefore = windowTitle();
    const unsigned long shownBefore = shown_;
    for (std::ptrdiff_t i = index; i >= 0 && i < static_cast<std::ptrdiff_t>(kPageCount);
         i += direction) {
        const auto at = static_cast<std::size_t>(i);
        const std::optional<WizardPageId> outer = activating_;
        activating_ = kWizardPageOrder[at];
        const bool accepted = pages_[at]->onSetActive();
        activating_ = outer;
        if (shown_ != shownBefore) {
            return true;  // the page sent the wizard elsewhere itself
        }
        if (accepted) {
            showPageAt(at);
            return true;
        }
    }
    // Nowhere to go: the current page stays as it was.
    setWizardButtons(buttonsBefore);
    setWindowTitle(captionBefore);
    return false;
}

void CWizardSheet::showPageAt(std::size_t index) {
    ++shown_;
    current_ = index;
    std::optional<QString>& caption = captions_[index];
    if (!caption) {
        caption = text(kCaptionIds[index]);
    }
    setWindowTitle(*caption);
    button(kAboutButton)->setVisible(kWizardPageOrder[index] == WizardPageId::Welcome);
    // QWizard shows the page; its own history is not used (every move is a restart at the
    // page the sheet chose), so its Back and Next buttons stay hidden.
    setStartId(static_cast<int>(kWizardPageOrder[index]));
    restart();
    // QWizard makes its own (hidden) Next the default button on each page; Return should press
    // the sheet's.
    if (auto* next = qobject_cast<QPushButton*>(button(kNextButton))) {
        next->setDefault(true);
    }
}

void CWizardSheet::follow(const WizardPage::Transition& transition, int direction) {
    switch (transition.kind) {
        case WizardPage::Transition::Kind::Stay:
            return;
        case WizardPage::Transition::Kind::Step:
            activate(static_cast<std::ptrdiff_t>(current_) + direction, direction);
            return;
        case WizardPage::Transition::Kind::JumpTo:
            switchToPage(transition.target);
            return;
    }
}

void CWizardSheet::switchToPage(WizardPageId page) {
    const std::size_t target = indexOf(page);
    // Skipping goes on in the direction of the jump.
    activate(static_cast<std::ptrdiff_t>(target), target < current_ ? -1 : +1);
}

void CWizardSheet::goNext() {
    WizardPage* page = currentWizardPage();
    if (page == nullptr) {
        return;
    }
    const unsigned long shownBefore = shown_;
    const WizardPage::Transition transition = page->onWizardNext();
    if (shown_ == shownBefore) {
        follow(transition, +1);
    }
}

void CWizardSheet::goBack() {
    WizardPage* page = currentWizardPage();
    if (page == nullptr) {
        return;
    }
    const unsigned long shownBefore = shown_;
    const WizardPage::Transition transition = page->onWizardBack();
    if (shown_ == shownBefore) {
        follow(transition, -1);
    }
}

void CWizardSheet::showHelp() {
    WizardPage* page = currentWizardPage();
    if (page == nullptr) {
        return;
    }
    OwnedMessageBox owner(dialogs_, page);
    app_.showHelp(page->helpTopic(), owner);
}

void CWizardSheet::showAbout() {
    CAboutDlg about(app_, this);
    about.exec();
}

void CWizardSheet::reject() {
    WizardPage* page = currentWizardPage();
    if (page == nullptr) {
        QWizard::reject();
        return;
    }
    if (askingToQuit_ || !page->onQueryCancel()) {
        return;
    }
    askingToQuit_ = true;
    const MessageAnswer answer = dialogs_.showMessage(
        page, MessageRequest{text(ui_text::QuitCaption), text(ui_text::QuitQuestion),
                             MessageIcon::Question, MessageButtons::YesNo});
    askingToQuit_ = false;
    if (answer == MessageAnswer::Yes) {
        QWizard::reject();
    }
}

void CWizardSheet::initializePage(int /*id*/) {}

void CWizardSheet::cleanupPage(int /*id*/) {}
