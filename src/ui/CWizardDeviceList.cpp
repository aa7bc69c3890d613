#include "ui/CWizardDeviceList.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

#include "app/AppContext.h"
#include "app/UiTextIds.h"
#include "devices/DeviceManager.h"
#include "devices/UeventMonitor.h"
#include "devices/ZuvoDeviceFilter.h"
#include "pages/DeviceRowCommand.h"
#include "ui/IMEIAliasDialog.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"
#include "ui/OwnedMessageBox.h"

namespace {

constexpr std::int32_t kHelpTopic = 5;

// The in-row button: this far inside the row's right end, and this much wider than high.
constexpr int kRowButtonInset = 8;
constexpr int kRowButtonExtraWidth = 8;
constexpr int kRowPadding = 10;

constexpr int kNodeRole = Qt::UserRole;

// The wait cursor for as long as the UI thread is blocked.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A button label without its mnemonic marker, for accessible names.
QString withoutMnemonic(QString label) {
    label.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    label.remove(u'&');
    label.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return label;
}

}  // namespace

CWizardDeviceList::CWizardDeviceList(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                                     QWidget* parent)
    : CWizardDeviceList(app, sheet, dialogs, DeviceRoots::fromEnvironment(), parent) {}

CWizardDeviceList::CWizardDeviceList(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                                     DeviceRoots roots, QWidget* parent)
    : WizardPage(WizardPageId::DeviceList, kHelpTopic, app, sheet, dialogs, parent),
      roots_(std::move(roots)),
      manager_(std::make_unique<DeviceManager>(std::make_unique<device_filter::ZuvoDeviceFilter>(),
                                               roots_)),
      heading_(new QLabel(text(ui_text::DeviceListHeading), this)),
      list_(new QTreeWidget(this)),
      rowButton_(new QToolButton(list_->viewport())) {
    heading_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);
    heading_->setBuddy(list_);

    list_->setColumnCount(2);
    list_->setHeaderLabels({text(ui_text::ModelColumn), text(ui_text::AliasColumn)});
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setSectionsClickable(false);
    list_->header()->setStretchLastSection(true);
    list_->setAccessibleName(text(ui_text::DeviceListCaption));
    list_->setAccessibleDescription(heading_->text());
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);

    rowButton_->setFocusPolicy(Qt::TabFocus);
    rowButton_->setAutoRaise(false);
    rowButton_->hide();
    QWidget::setTabOrder(list_, rowButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addSpacing(4);
    layout->addWidget(list_, 1);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        updateButtons();
        placeRowButton();
    });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &CWizardDeviceList::placeRowButton);
    connect(list_->header(), &QHeaderView::sectionResized, this,
            &CWizardDeviceList::placeRowButton);
    connect(rowButton_, &QToolButton::clicked, this, &CWizardDeviceList::runRowCommand);

    timer_.setInterval(kEnumerationPeriod);
    connect(&timer_, &QTimer::timeout, this, &CWizardDeviceList::onTimer);
}

CWizardDeviceList::~CWizardDeviceList() {
    // The threads that call the sinks end first; what they posted is dropped with the
    // dispatcher.
    if (monitor_) {
        monitor_->stop();
    }
    timer_.stop();
    manager_.reset();
    dispatcher_.close();
}

void CWizardDeviceList::startWatching() {
    watching_ = true;
    updateButtons();
    manager_->enumerate(this);
    updateButtons();
    timer_.start();
    // The kernel's device events concern the real /sys only; a tree elsewhere (the demo, the
    // tests) is followed by the periodic enumeration and the notices handed in.
    if (roots_.sysfs == "/sys") {
        monitor_ = std::make_unique<UeventMonitor>(*this, roots_.dev);
        if (!monitor_->start()) {
            monitor_.reset();
        }
    }
}

bool CWizardDeviceList::onSetActive() {
    if (!watching_) {
        startWatching();
    }
    sheet().refreshButtonLabels();
    app().releaseDevice();
    refreshList();
    updateButtons();
    list_->setFocus();
    return true;
}

void CWizardDeviceList::onTimer() {
    updateButtons();
    manager_->enumerate(this);
    updateButtons();
}

void CWizardDeviceList::onListChanged() {
    // Called once per record of an enumeration: one refresh waiting is enough.
    if (!refreshPosted_.exchange(true)) {
        dispatcher_.post([this] { refreshList(); });
    }
}

void CWizardDeviceList::onDeviceChange(const DeviceNotice& notice) {
    dispatcher_.post([this, notice] { handleNotice(notice); });
}

void CWizardDeviceList::handleNotice(const DeviceNotice& notice) {
    // The next enumeration comes one period after the last change.
    if (watching_) {
        timer_.start();
    }
    if (notice.kind != DeviceNotice::Kind::DeviceRemoveComplete || notice.devicePath.empty()) {
        return;
    }
    manager_->removeByPath(notice.devicePath);
    refreshList();
    if (app().isCurrentDevice(notice.devicePath)) {
        app().closePhonePort();
        sheet().notifyDeviceRemoved();
    }
}

void CWizardDeviceList::refreshList() {
    refreshPosted_ = false;
    std::optional<std::size_t> selected;
    if (QTreeWidgetItem* item = list_->currentItem(); item != nullptr && item->isSelected()) {
        selected = static_cast<std::size_t>(list_->indexOfTopLevelItem(item));
    }
    const DeviceRowList::Refresh refresh = rows_.refresh(
        manager_->snapshot(),
        [this](const std::u16string& imei) { return app().aliases().aliasFor(imei); },
        text(ui_text::UnknownModel).toStdU16String(), selected);

    {
        const QSignalBlocker quiet(list_);
        for (const DeviceRowList::Edit& edit : refresh.edits) {
            const int at = static_cast<int>(edit.position);
            if (edit.kind == DeviceRowList::Edit::Kind::Remove) {
                delete list_->takeTopLevelItem(at);
                continue;
            }
            auto* item = new QTreeWidgetItem({QString::fromStdU16String(edit.row.model),
                                              QString::fromStdU16String(edit.row.alias)});
            item->setData(0, kNodeRole, QVariant::fromValue(edit.row.node));
            // Rows roomy enough for the in-row button and a finger.
            item->setSizeHint(0, QSize(0, list_->fontMetrics().height() + kRowPadding));
            list_->insertTopLevelItem(at, item);
        }
        if (refresh.selection) {
            list_->setCurrentItem(list_->topLevelItem(static_cast<int>(*refresh.selection)));
        } else {
            list_->setCurrentItem(nullptr);
        }
    }
    updateButtons();
    placeRowButton();
    if (refresh.rowRemoved) {
        list_->viewport()->update();
    }
}

std::optional<std::uint32_t> CWizardDeviceList::selectedNode() const {
    const QTreeWidgetItem* item = list_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return std::nullopt;
    }
    return item->data(0, kNodeRole).value<std::uint32_t>();
}

std::optional<DEVICE_INFO_EX> CWizardDeviceList::deviceOf(std::uint32_t node) const {
    DEVICE_INFO_EX device;
    if (!manager_->find(node, device)) {
        return std::nullopt;
    }
    return device;
}

void CWizardDeviceList::updateButtons() {
    // The wizard's buttons belong to the page that is current.
    if (sheet().currentPageId() != pageId()) {
        return;
    }
    const std::optional<std::uint32_t> node = selectedNode();
    const std::optional<DEVICE_INFO_EX> device = node ? deviceOf(*node) : std::nullopt;
    const bool usable = device && canBeRead(device->state);
    sheet().setWizardButtons(usable ? IWizardSheet::BackButton | IWizardSheet::NextButton
                                    : IWizardSheet::BackButton);
}

void CWizardDeviceList::placeRowButton() {
    QTreeWidgetItem* item = list_->currentItem();
    const QRect viewport = list_->viewport()->rect();
    const QRect row = item != nullptr && item->isSelected() ? list_->visualItemRect(item) : QRect();
    if (!row.isValid() || !viewport.intersects(row)) {
        rowButton_->hide();
        return;
    }
    const std::optional<DEVICE_INFO_EX> device =
        deviceOf(item->data(0, kNodeRole).value<std::uint32_t>());
    const DeviceRowCommand command =
        DeviceRowCommand::forState(device ? device->state : DeviceState::Found);
    if (command.action == DeviceRowCommand::Action::SetAlias) {
        rowButton_->setText(QStringLiteral("..."));
        rowButton_->setToolTip(text(ui_text::AliasCaption));
        rowButton_->setAccessibleName(text(ui_text::AliasCaption));
    } else {
        rowButton_->setText(QStringLiteral("?"));
        rowButton_->setToolTip(command.tooltipId ? text(*command.tooltipId) : QString());
        rowButton_->setAccessibleName(withoutMnemonic(text(ui_text::HelpLabel)));
    }
    const int height = row.height();
    const int width = height + kRowButtonExtraWidth;
    const int right = std::min(row.right(), viewport.right()) - kRowButtonInset;
    rowButton_->setGeometry(right - width + 1, row.top(), width, height);
    rowButton_->show();
    rowButton_->raise();
}

void CWizardDeviceList::runRowCommand() {
    const std::optional<std::uint32_t> node = selectedNode();
    if (!node) {
        return;
    }
    const std::optional<DEVICE_INFO_EX> device = deviceOf(*node);
    if (!device) {
        return;
    }
    const DeviceRowCommand command = DeviceRowCommand::forState(device->state);
    switch (command.action) {
        case DeviceRowCommand::Action::None:
            return;
        case DeviceRowCommand::Action::ShowHelp: {
            OwnedMessageBox owner(dialogs(), this);
            app().showHelp(command.helpTopic, owner);
            return;
        }
        case DeviceRowCommand::Action::SetAlias:
            break;
    }
    const QString imei = QString::fromStdU16String(device->imei);
    IMEIAliasDialog dialog(app(), imei,
                           QString::fromStdU16String(app().aliases().aliasFor(device->imei)), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    app().aliases().setAlias(device->imei, dialog.alias().toStdU16String());
    refreshList();
}

QString CWizardDeviceList::rowToolTip(int row) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item == nullptr) {
        return {};
    }
    const std::optional<DEVICE_INFO_EX> device =
        deviceOf(item->data(0, kNodeRole).value<std::uint32_t>());
    if (!device) {
        return {};
    }
    const DeviceRowCommand command = DeviceRowCommand::forState(device->state);
    return command.tooltipId ? text(*command.tooltipId) : QString();
}

bool CWizardDeviceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport()) {
        if (event->type() == QEvent::ToolTip) {
            // The reason a phone cannot be used, looked up when asked: its state may have
            // changed since its row was made.
            auto* help = static_cast<QHelpEvent*>(event);
            QTreeWidgetItem* item = list_->itemAt(help->pos());
            const QString tip = item ? rowToolTip(list_->indexOfTopLevelItem(item)) : QString();
            if (tip.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), tip, list_->viewport(),
                                   list_->visualItemRect(item));
            }
            return true;
        }
        if (event->type() == QEvent::Resize) {
            list_->setColumnWidth(0, list_->viewport()->width() / 3);
            placeRowButton();
        }
    } else if (watched == list_ && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
            runRowCommand();
            return true;
        }
    }
    return WizardPage::eventFilter(watched, event);
}

WizardPage::Transition CWizardDeviceList::fail() {
    dialogs().showMessage(
        this, MessageRequest{text(ui_text::CannotOpenCaption), text(ui_text::CannotOpen),
                             MessageIcon::Warning, MessageButtons::Ok});
    return Transition::stay();
}

WizardPage::Transition CWizardDeviceList::onWizardNext() {
    manager_->discardQueued();
    const std::optional<std::uint32_t> node = selectedNode();
    std::u16string port;
    if (!node || !manager_->portNameOf(*node, port) || port.empty()) {
        return fail();
    }
    const std::u16string displayName = list_->currentItem()->text(0).toStdU16String();
    const std::optional<DEVICE_INFO_EX> device = deviceOf(*node);
    if (!device) {
        return fail();
    }
    const bool extended = device->state == DeviceState::ExtendedPhonebook;
    if (!extended) {
        const MessageAnswer answer = dialogs().showMessage(
            this, MessageRequest{text(ui_text::WarningCaption), text(ui_text::StandardOnly),
                                 MessageIcon::Warning, MessageButtons::OkCancel});
        if (answer != MessageAnswer::Ok) {
            return Transition::stay();
        }
    }
    try {
        // Switching the phone's mode blocks for at least a second.
        const BusyCursor busy;
        app().selectDevice(port, displayName, extended);
        app().setDeviceImei(device->imei);
    } catch (const std::exception&) {
        return fail();
    }
    return Transition::step();
}
