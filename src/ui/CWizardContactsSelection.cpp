#include "ui/CWizardContactsSelection.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "common/StorageKind.h"
#include "pages/ContactsChoice.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"

CWizardContactsSelection::CWizardContactsSelection(AppContext& app, IWizardSheet& sheet,
                                                   IUserDialogs& dialogs, QWidget* parent)
    : WizardPage(WizardPageId::ContactsSource, 1, app, sheet, dialogs, parent) {
    setObjectName(QStringLiteral("contactsSourcePage"));

    instruction_ = new QLabel(text(ui_text::ContactsInstruction));
    instruction_->setTextFormat(Qt::PlainText);
    instruction_->setWordWrap(true);

    memoryBox_ = new QCheckBox(text(ui_text::MemoryBox));
    memoryBox_->setObjectName(QStringLiteral("memoryBox"));
    memoryBox_->setToolTip(text(ui_text::MemoryTip));
    memoryBox_->setEnabled(false);

    simBox_ = new QCheckBox(text(ui_text::SimBox));
    simBox_->setObjectName(QStringLiteral("simBox"));
    simBox_->setToolTip(text(ui_text::SimTip));
    simBox_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addSpacing(12);
    layout->addWidget(memoryBox_);
    layout->addWidget(simBox_);
    layout->addStretch(1);

    connect(memoryBox_, &QCheckBox::toggled, this, [this] { updateButtons(); });
    connect(simBox_, &QCheckBox::toggled, this, [this] { updateButtons(); });
}

CWizardContactsSelection::~CWizardContactsSelection() {
    dispatcher_.close();
    if (queryOutstanding_) {
        app().releaseDevice();
    }
}

bool CWizardContactsSelection::onSetActive() {
    sheet().setCaption(text(ui_text::ContactsCaption));
    if (app().needsPhoneQuery()) {
        app().setNeedsPhoneQuery(false);
        // Until this phone's storages are known, nothing can be chosen: the boxes must not
        // offer what only the previous phone had.
        memoryBox_->setEnabled(false);
        simBox_->setEnabled(false);
        queryOutstanding_ = true;
        ++queryGeneration_;
        app().requestCharsets(*this);
        app().requestStorages(*this);
    }
    // Set without clicks: the buttons are updated once, below.
    const QSignalBlocker memoryBlocker(memoryBox_);
    const QSignalBlocker simBlocker(simBox_);
    memoryBox_->setChecked(app().deviceMemorySelected());
    simBox_->setChecked(app().simSelected());
    sheet().setWizardButtons(wizardButtons(memoryBox_->isChecked(), simBox_->isChecked()));
    return true;
}

WizardPage::Transition CWizardContactsSelection::onWizardNext() {
    app().setSimSelected(simBox_->isChecked());
    app().setDeviceMemorySelected(memoryBox_->isChecked());
    return Transition::step();
}

void CWizardContactsSelection::onDeviceRemoved() {
    const std::u16string name = app().deviceName();
    dialogs().showMessage(
        this, {text(ui_text::UnpluggedCaption),
               QString::fromStdU16String(
                   formatText(app().text(ui_text::PhoneUnplugged), {std::u16string_view(name)})),
               MessageIcon::Warning, MessageButtons::Ok});
    sheet().switchToPage(WizardPageId::DeviceList);
}

unsigned CWizardContactsSelection::wizardButtons(bool memoryTicked, bool simTicked) {
    return IWizardSheet::BackButton |
           (memoryTicked || simTicked ? IWizardSheet::NextButton : IWizardSheet::NoButton);
}

void CWizardContactsSelection::onStorages(const std::vector<StorageKind>& storages) {
    const unsigned bits = ContactsChoice::storageBits(storages);
    const unsigned generation = queryGeneration_.load();
    dispatcher_.post([this, bits, generation] {
        if (generation == queryGeneration_.load()) {
            showStorages(bits);
        }
    });
}

void CWizardContactsSelection::onCharsets(const std::vector<std::u16string>& charsets) {
    const unsigned generation = queryGeneration_.load();
    dispatcher_.post([this, charsets, generation] {
        if (generation == queryGeneration_.load()) {
            useCharsets(charsets);
        }
    });
}

void CWizardContactsSelection::showStorages(unsigned bits) {
    queryOutstanding_ = false;
    const QSignalBlocker memoryBlocker(memoryBox_);
    const QSignalBlocker simBlocker(simBox_);
    const bool sim = (bits & ContactsChoice::kSimBit) != 0;
    const bool memory = (bits & ContactsChoice::kMemoryBit) != 0;
    simBox_->setEnabled(sim);
    simBox_->setChecked(sim);
    memoryBox_->setEnabled(memory);
    memoryBox_->setChecked(memory);
    updateButtons();
}

void CWizardContactsSelection::useCharsets(const std::vector<std::u16string>& charsets) {
    if (ContactsChoice::applyCharsets(app(), charsets)) {
        dialogs().showMessage(this, {text(ui_text::WarningCaption), text(ui_text::AsciiFallback),
                                     MessageIcon::Warning, MessageButtons::Ok});
    }
}

void CWizardContactsSelection::updateButtons() {
    // A result may arrive after the user has left the page; the buttons are another page's then.
    if (isCurrent()) {
        sheet().setWizardButtons(wizardButtons(memoryBox_->isChecked(), simBox_->isChecked()));
    }
}

bool CWizardContactsSelection::isCurrent() const {
    return sheet().currentPageId() == pageId();
}
