#include "ui/CWizardDeviceList.h"

#include <QApplication>
#include <QCheckBox>
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

#include <algorithm>
#include <exception>
#include <vector>

#include "app/AppContext.h"
#include "app/UiTextIds.h"
#include "devices/DeviceCause.h"
#include "devices/DeviceManager.h"
#include "devices/UeventMonitor.h"
#include "devices/ZuvoDeviceFilter.h"
#include "pages/PhoneCauseTexts.h"
#include "serial_comm/IdentityAnswers.h"
#include "serial_comm/SerialPortException.h"
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

// A tooltip stands this far right of and above the mouse, and this far inside the window; its
// lines are at most this many average characters wide.
constexpr int kTipRight = 10;
constexpr int kTipAbove = 20;
constexpr int kTipInset = 8;
constexpr int kTipCharacters = 60;

// The lines of a paragraph, each at most width wide where its words allow.
QStringList wrapped(const QString& paragraph, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) {
        lines.push_back(line);
    }
    return lines;
}

// The label Qt shows a tooltip in, while one is shown.
QWidget* shownToolTip() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

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
      rowButton_(new QToolButton(list_->viewport())),
      othersBox_(new QCheckBox(text(ui_text::ShowOtherMakers), this)) {
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
    rowButton_->installEventFilter(this);
    QWidget::setTabOrder(list_, rowButton_);

    // Unticked at every start: another maker's device is listed only when asked for.
    othersBox_->setObjectName(QStringLiteral("otherMakersBox"));
    othersBox_->setChecked(false);
    othersBox_->setToolTip(text(ui_text::ShowOtherMakersTip));
    QWidget::setTabOrder(rowButton_, othersBox_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addSpacing(4);
    layout->addWidget(list_, 1);
    layout->addWidget(othersBox_);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        updateButtons();
        placeRowButton();
    });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &CWizardDeviceList::placeRowButton);
    connect(list_->header(), &QHeaderView::sectionResized, this,
            &CWizardDeviceList::placeRowButton);
    connect(rowButton_, &QToolButton::clicked, this, &CWizardDeviceList::runRowCommand);
    connect(othersBox_, &QCheckBox::toggled, this, &CWizardDeviceList::refreshList);

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
    // The maker's phones first, then, when asked for, the devices of other makers.
    std::vector<DEVICE_INFO_EX> devices = manager_->snapshot();
    if (othersBox_->isChecked()) {
        others_.follow(manager_->otherUsbSerialPorts());
        const std::vector<DEVICE_INFO_EX> others = others_.devices();
        devices.insert(devices.end(), others.begin(), others.end());
    }
    const DeviceRowList::Refresh refresh = rows_.refresh(
        devices, [this](const std::u16string& imei) { return app().aliases().aliasFor(imei); },
        text(ui_text::UnknownModel).toStdU16String(), selected,
        text(ui_text::NotAskedYet).toStdU16String());

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
    if (manager_->find(node, device)) {
        return device;
    }
    if (isOtherMakers(node)) {
        for (const DEVICE_INFO_EX& other : others_.devices()) {
            if (other.device == node) {
                return other;
            }
        }
    }
    return std::nullopt;
}

bool CWizardDeviceList::isOtherMakers(std::uint32_t node) const {
    return othersBox_->isChecked() && others_.contains(node);
}

DeviceRowCommand CWizardDeviceList::commandOf(std::uint32_t node) const {
    const std::optional<DEVICE_INFO_EX> device = deviceOf(node);
    return device ? DeviceRowCommand::forDevice(*device, isOtherMakers(node)) : DeviceRowCommand{};
}

void CWizardDeviceList::updateButtons() {
    // The wizard's buttons belong to the page that is current.
    if (sheet().currentPageId() != pageId()) {
        return;
    }
    const std::optional<std::uint32_t> node = selectedNode();
    const bool choosable = node && commandOf(*node).choosable;
    sheet().setWizardButtons(choosable ? IWizardSheet::BackButton | IWizardSheet::NextButton
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
    const DeviceRowCommand command = commandOf(item->data(0, kNodeRole).value<std::uint32_t>());
    if (command.action == DeviceRowCommand::Action::SetAlias) {
        rowButton_->setText(QStringLiteral("..."));
        rowButton_->setToolTip(text(ui_text::AliasCaption));
        rowButton_->setAccessibleName(text(ui_text::AliasCaption));
    } else {
        // Its tooltip is the row's (see eventFilter).
        rowButton_->setText(QStringLiteral("?"));
        rowButton_->setToolTip({});
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
    const DeviceRowCommand command = DeviceRowCommand::forDevice(*device, isOtherMakers(*node));
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

int CWizardDeviceList::toolTipWidth() const {
    const QFontMetrics metrics(QToolTip::font());
    const int room = window()->width() - 2 * kTipInset - 4 * metrics.averageCharWidth();
    return std::max(metrics.averageCharWidth() * 10,
                    std::min(room, metrics.averageCharWidth() * kTipCharacters));
}

QString CWizardDeviceList::rowToolTip(int row) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item == nullptr) {
        return {};
    }
    // The reason a device cannot be used, looked up when asked: its state may have changed
    // since its row was made.
    const DeviceRowCommand command = commandOf(item->data(0, kNodeRole).value<std::uint32_t>());
    const QFontMetrics metrics(QToolTip::font());
    const int width = toolTipWidth();
    QStringList lines;
    for (const std::u16string& paragraph : PhoneCauseTexts::tooltip(
             app(), command.cause, command.action == DeviceRowCommand::Action::ShowHelp)) {
        lines += wrapped(QString::fromStdU16String(paragraph), metrics, width);
    }
    return lines.join(u'\n');
}

bool CWizardDeviceList::showRowToolTip(int row, const QPoint& globalPos) {
    const QString tip = rowToolTip(row);
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (tip.isEmpty() || item == nullptr) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(globalPos, tip, list_->viewport(), list_->visualItemRect(item));
    // Qt keeps a tooltip on the screen; this one stays inside the window too: right of and
    // above the mouse where there is room, moved in from the window's edges where not.
    QWidget* label = shownToolTip();
    if (label == nullptr) {
        return true;
    }
    const QRect frame = window()->geometry();
    const QSize size = label->size();
    const int left = frame.left() + kTipInset;
    const int right = std::max(left, frame.right() - kTipInset - size.width());
    int x = std::clamp(globalPos.x() + kTipRight, left, right);
    int y = globalPos.y() - kTipAbove - size.height();
    if (y < frame.top() + kTipInset) {
        y = globalPos.y() + kTipAbove;
    }
    y = std::clamp(y, frame.top() + kTipInset,
                   std::max(frame.top() + kTipInset, frame.bottom() - kTipInset - size.height()));
    x = std::max(x, left);
    label->move(x, y);
    return true;
}

bool CWizardDeviceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport()) {
        if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            QTreeWidgetItem* item = list_->itemAt(help->pos());
            showRowToolTip(item ? list_->indexOfTopLevelItem(item) : -1, help->globalPos());
            return true;
        }
        if (event->type() == QEvent::Resize) {
            list_->setColumnWidth(0, list_->viewport()->width() / 3);
            placeRowButton();
        }
    } else if (watched == rowButton_ && event->type() == QEvent::ToolTip &&
               rowButton_->toolTip().isEmpty()) {
        // "?" tells what its row tells.
        QTreeWidgetItem* item = list_->currentItem();
        showRowToolTip(item ? list_->indexOfTopLevelItem(item) : -1,
                       static_cast<QHelpEvent*>(event)->globalPos());
        return true;
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

WizardPage::Transition CWizardDeviceList::failFor(const causes::PhoneCause& cause) {
    const PhoneCauseTexts::Box box = PhoneCauseTexts::failure(app(), cause);
    dialogs().showMessage(this,
                          MessageRequest{text(box.captionId), QString::fromStdU16String(box.text),
                                         MessageIcon::Warning, MessageButtons::Ok});
    return Transition::stay();
}

WizardPage::Transition CWizardDeviceList::onWizardNext() {
    manager_->discardQueued();
    const std::optional<std::uint32_t> node = selectedNode();
    if (!node) {
        return fail();
    }
    std::u16string port;
    std::u16string displayName;
    std::optional<DEVICE_INFO_EX> device;
    if (isOtherMakers(*node)) {
        // Another maker's device is asked now, as the person chose it; each time, so that a
        // phone unlocked or switched on meanwhile can be used.
        {
            const BusyCursor busy;
            device = others_.ask(*node);
        }
        refreshList();
        if (!device) {
            return fail();
        }
        if (!canBeRead(device->state)) {
            return failFor(deviceCause(*device));
        }
        port = device->devicePath;
        displayName = serial_comm::phoneName(device->manufacturer, device->model);
        if (displayName.empty()) {
            displayName = text(ui_text::UnknownModel).toStdU16String();
        }
    } else {
        if (!manager_->portNameOf(*node, port) || port.empty()) {
            return fail();
        }
        displayName = list_->currentItem()->text(0).toStdU16String();
        device = deviceOf(*node);
        if (!device) {
            return fail();
        }
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
        // Switching the maker's phone's mode blocks for at least a second.
        const BusyCursor busy;
        app().selectDevice(port, displayName, extended, device->otherMaker);
        app().setDeviceImei(device->imei);
    } catch (const serial_comm::SerialPortException& failure) {
        return failFor(PhoneCauseTexts::portCause(port, failure.code(), failure.openError()));
    } catch (const std::exception&) {
        return fail();
    }
    return Transition::step();
}
