#pragma once

#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "devices/DeviceInfoEx.h"
#include "devices/DeviceRoots.h"
#include "devices/IDeviceChangeSink.h"
#include "devices/IDeviceListSink.h"
#include "pages/DeviceRowCommand.h"
#include "pages/DeviceRowList.h"
#include "pages/OtherMakersDevices.h"
#include "ui/UiDispatcher.h"
#include "ui/WizardPage.h"

class DeviceManager;
class QCheckBox;
class QLabel;
class QToolButton;
class QTreeWidget;
class UeventMonitor;

// The device list page: the maker's phones attached now, each with its model and its alias
// (or IMEI); the user picks one and Next opens it.
//
// The page owns a DeviceManager with the maker's filter. From its first display on it
// enumerates every 3000 ms; a device-change notice restarts that period, and the removal of a
// tty drops its phone from the list at once and, when it was the selected phone, closes its
// port and tells the current page (IWizardSheet::notifyDeviceRemoved). On the real /sys the
// notices come from the kernel (UeventMonitor); tests hand them to onDeviceChange.
//
// The selected row carries a small button at its right end: "..." opens the alias dialog of a
// usable phone, "?" the help topic of why a device cannot be used (F2 does the same from the
// keyboard). Hovering over such a device tells why, in a tooltip kept inside the window.
//
// A check box under the list also lists the devices of other makers (OtherMakersDevices),
// unticked at every start: none of them is opened until the person selects one and clicks
// Next, which asks it (with the busy cursor) and goes on with it when it can be read.
//
// Results of the worker threads (the list changed, a device notice) come as queued calls to
// the UI thread through the page's UiDispatcher.
class CWizardDeviceList final : public WizardPage,
                                public IDeviceListSink,
                                public IDeviceChangeSink {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kEnumerationPeriod{3000};

    // Devices below DeviceRoots::fromEnvironment().
    CWizardDeviceList(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                      QWidget* parent = nullptr);
    CWizardDeviceList(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                      DeviceRoots roots, QWidget* parent = nullptr);
    ~CWizardDeviceList() override;

    bool onSetActive() override;
    // Opens the selected phone (AppContext::selectDevice); stays with a message when it cannot.
    Transition onWizardNext() override;

    // The device manager's worker: the list may have changed.
    void onListChanged() override;
    // A device-change notice, from any thread.
    void onDeviceChange(const DeviceNotice& notice) override;

    // The in-row button: the alias dialog or the help topic of the selected phone.
    void runRowCommand();

    DeviceManager& deviceManager() const { return *manager_; }
    const DeviceRowList& rows() const { return rows_; }
    QTreeWidget* deviceList() const { return list_; }
    QToolButton* rowButton() const { return rowButton_; }
    QLabel* heading() const { return heading_; }
    QCheckBox* otherMakersBox() const { return othersBox_; }
    bool isWatching() const { return watching_; }
    // The hover text over a row, its paragraphs wrapped to fit the window (empty for none).
    QString rowToolTip(int row) const;
    // Shows the tooltip of a row for the mouse at globalPos, inside the window; false (and no
    // tooltip) for a row without one.
    bool showRowToolTip(int row, const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startWatching();
    void onTimer();
    void refreshList();
    void updateButtons();
    void handleNotice(const DeviceNotice& notice);
    void placeRowButton();
    std::optional<std::uint32_t> selectedNode() const;
    std::optional<DEVICE_INFO_EX> deviceOf(std::uint32_t node) const;
    // Whether node is a device of another maker the list shows.
    bool isOtherMakers(std::uint32_t node) const;
    DeviceRowCommand commandOf(std::uint32_t node) const;
    // The widest a tooltip line may be, for the window as it is now.
    int toolTipWidth() const;
    Transition fail();
    Transition failFor(const causes::PhoneCause& cause);

    // First, so that it is closed last: the workers post to it until they have stopped.
    UiDispatcher dispatcher_;
    const DeviceRoots roots_;
    std::unique_ptr<DeviceManager> manager_;
    std::unique_ptr<UeventMonitor> monitor_;
    QTimer timer_;
    DeviceRowList rows_;
    OtherMakersDevices others_;
    std::atomic<bool> refreshPosted_{false};
    bool watching_ = false;

    QLabel* heading_;
    QTreeWidget* list_;
    QToolButton* rowButton_;
    QCheckBox* othersBox_;
};
