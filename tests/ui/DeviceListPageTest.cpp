// The device list page against simulated phones behind a simulated device tree: what it lists
// and offers, the alias dialog, opening a phone, and phones unplugged.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "ModalDialogAnswerer.h"
#include "RecordingSheet.h"
#include "Screenshots.h"
#include "ScriptedUserDialogs.h"
#include "WizardTestApp.h"
#include "devices/DeviceManager.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"
#include "ui/CWizardDeviceList.h"
#include "ui/IMEIAliasDialog.h"

using namespace std::chrono_literals;
using ui_test::ModalDialogAnswerer;
using ui_test::RecordingSheet;
using ui_test::ScriptedUserDialogs;
using ui_test::WizardTestApp;
using Transition = WizardPage::Transition;

namespace {

constexpr int kWaitMs = 15000;
constexpr unsigned kBackOnly = IWizardSheet::BackButton;
constexpr unsigned kBackAndNext = IWizardSheet::BackButton | IWizardSheet::NextButton;

// A phone of a built-in scenario plugged into the tree as the maker's phone in modem mode.
struct PluggedPhone {
    PluggedPhone(phonesim::SimulatedDeviceTree& tree, const char* scenario, const char* serial)
        : phone(phonesim::BuiltInScenarios::load(scenario)),
          usbDevice(tree.addModemPhone(
              phone.portPath(), phonesim::SimulatedDeviceTree::makersPhone(serial), &port)) {}
    phonesim::Simulator phone;
    std::string port;
    std::string usbDevice;
};

class DeviceListPageTest : public ::testing::Test {
protected:
    DeviceRoots roots() const {
        DeviceRoots roots;
        roots.sysfs = tree.sysfsRoot();
        roots.dev = tree.devRoot();
        return roots;
    }

    // The page of a (new) start, shown and made current; waits until the first enumeration
    // has listed rows rows.
    void showPage(WizardTestApp& start, int rows) {
        page.reset();
        page = std::make_unique<CWizardDeviceList>(start.app(), sheet, dialogs, roots());
        page->resize(560, 320);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        ASSERT_TRUE(page->onSetActive());
        ASSERT_TRUE(waitForRows(rows));
    }

    bool waitForRows(int rows) {
        return page->deviceManager().waitForQueued(std::chrono::milliseconds(kWaitMs)) &&
               QTest::qWaitFor([&] { return list()->topLevelItemCount() == rows; }, kWaitMs);
    }

    QTreeWidget* list() const { return page->deviceList(); }
    QString cell(int row, int column) const { return list()->topLevelItem(row)->text(column); }
    int selectedRow() const {
        QTreeWidgetItem* item = list()->currentItem();
        return item != nullptr && item->isSelected() ? list()->indexOfTopLevelItem(item) : -1;
    }
    void select(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    int rowOf(const QString& model) const {
        for (int row = 0; row < list()->topLevelItemCount(); ++row) {
            if (cell(row, 0) == model) {
                return row;
            }
        }
        return -1;
    }
    void unplug(PluggedPhone& plugged) {
        tree.removeUsbDevice(plugged.usbDevice);
        plugged.phone.unplug();
        page->onDeviceChange({DeviceNotice::Kind::DeviceRemoveComplete,
                              std::u16string(plugged.port.begin(), plugged.port.end()),
                              {}});
    }
    // A row's tooltip as one line, and what the tooltip of a cause says: what is wrong, the
    // way out and where help is.
    static QString flat(QString tip) { return tip.replace(u'\n', u' '); }
    QString causeTip(std::uint32_t what, std::uint32_t wayOut) const {
        return test.text(what) + u' ' + test.text(wayOut) + u' ' + test.text(10373);
    }
    void screenshot(const char* name) {
        ui_test::saveScreenshot(page.get(),
                                ui_test::currentTestName() + u'-' + QLatin1String(name));
    }

    WizardTestApp test;
    phonesim::SimulatedDeviceTree tree;
    RecordingSheet sheet;
    ScriptedUserDialogs dialogs;
    std::unique_ptr<CWizardDeviceList> page;
};

TEST_F(DeviceListPageTest, EachPhoneIsListedWithWhatItsStateOffers) {
    PluggedPhone extended(tree, "demo", "SN-DEMO");
    PluggedPhone standard(tree, "standard-ucs2", "SN-STD");
    PluggedPhone unsupported(tree, "unsupported", "SN-UNS");
    tree.addDriverlessPhone(phonesim::SimulatedDeviceTree::makersPhone("SN-NODRV"));
    tree.addMassStoragePhone(phonesim::SimulatedDeviceTree::makersPhone("SN-DISK"));
    showPage(test, 5);
    EXPECT_EQ(sheet.labelRefreshes, 1);
    EXPECT_EQ(page->heading()->text(), test.text(10208));
    EXPECT_EQ(list()->headerItem()->text(0), test.text(10258));
    EXPECT_EQ(list()->headerItem()->text(1), test.text(10259));
    EXPECT_EQ(selectedRow(), 0);
    screenshot("five-phones");

    struct Expected {
        QString model;
        QString column1;
        unsigned buttons;
        QString rowButton;
        QString tooltip;
        int helpTopic;  // -1: the alias dialog
    };
    const Expected expected[] = {
        {"Z3", "351234567890123", kBackAndNext, "...", {}, -1},
        {"Z1", "351234567890111", kBackAndNext, "...", {}, -1},
        {"Z-Basic", "351234567890444", kBackOnly, "?", causeTip(10319, 10320), 15},
    };
    for (const Expected& phone : expected) {
        SCOPED_TRACE(phone.model.toStdString());
        const int row = rowOf(phone.model);
        ASSERT_GE(row, 0);
        select(row);
        EXPECT_EQ(cell(row, 1), phone.column1);
        EXPECT_EQ(sheet.buttons, phone.buttons);
        EXPECT_TRUE(page->rowButton()->isVisible());
        EXPECT_EQ(page->rowButton()->text(), phone.rowButton);
        EXPECT_EQ(flat(page->rowToolTip(row)), phone.tooltip);
    }
    // The phones without a usable modem: no model, no IMEI; "?" leads to their help topic.
    std::vector<int> unusable;
    for (int row = 0; row < list()->topLevelItemCount(); ++row) {
        if (cell(row, 0) == test.text(10282)) {
            unusable.push_back(row);
        }
    }
    ASSERT_EQ(unusable.size(), 2u);
    std::vector<QString> tips;
    for (const int row : unusable) {
        select(row);
        EXPECT_EQ(cell(row, 1), QString());
        EXPECT_EQ(sheet.buttons, kBackOnly);
        EXPECT_EQ(page->rowButton()->text(), QStringLiteral("?"));
        tips.push_back(flat(page->rowToolTip(row)));
        page->runRowCommand();
    }
    std::sort(tips.begin(), tips.end());
    std::vector<QString> expectedTips{causeTip(10301, 10302), causeTip(10303, 10304)};
    std::sort(expectedTips.begin(), expectedTips.end());
    EXPECT_EQ(tips, expectedTips);
    select(rowOf("Z-Basic"));
    screenshot("unsupported-selected");
    page->rowButton()->click();
    // Topics 2 (no driver) and 3 (other mode) in some order, then 15 (missing commands): the
    // section of each cause.
    std::string file;
    std::string anchor;
    ASSERT_EQ(test.help().opened.size(), 3u);
    ASSERT_TRUE(AppContext::helpPage(15, file, anchor));
    EXPECT_EQ(test.help().opened[2].first.filename(), file);
    EXPECT_EQ(test.help().opened[2].second, anchor);
}

TEST_F(DeviceListPageTest, TheAliasDialogSetsTheAliasAndItIsThereAtTheNextStart) {
    PluggedPhone plugged(tree, "demo", "SN-DEMO");
    showPage(test, 1);
    ASSERT_EQ(cell(0, 1), QStringLiteral("351234567890123"));

    ModalDialogAnswerer answerer;
    answerer.expect([](QWidget* window) {
        auto* dialog = qobject_cast<IMEIAliasDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->imeiField()->text(), QStringLiteral("351234567890123"));
        EXPECT_TRUE(dialog->imeiField()->isReadOnly());
        EXPECT_EQ(dialog->aliasField()->maxLength(), 39);
        EXPECT_EQ(dialog->aliasField()->text(), QStringLiteral("351234567890123"));
        dialog->aliasField()->setText(QStringLiteral("Ann's phone"));
        dialog->accept();
    });
    page->rowButton()->click();
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ann's phone"));
    EXPECT_EQ(selectedRow(), 0);

    // From the keyboard (F2 in the list); the field emptied keeps the alias.
    answerer.expect([](QWidget* window) {
        auto* dialog = qobject_cast<IMEIAliasDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->aliasField()->text(), QStringLiteral("Ann's phone"));
        dialog->aliasField()->clear();
        dialog->accept();
    });
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_F2);
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ann's phone"));

    // Cancel changes nothing, whatever was typed.
    answerer.expect([](QWidget* window) {
        auto* dialog = qobject_cast<IMEIAliasDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        dialog->aliasField()->setText(QStringLiteral("Not this"));
        dialog->reject();
    });
    page->runRowCommand();
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ann's phone"));

    // The next start reads it from the settings file.
    page.reset();
    WizardTestApp next(test, 1033);
    showPage(next, 1);
    EXPECT_EQ(cell(0, 1), QStringLiteral("Ann's phone"));
    page.reset();
}

TEST_F(DeviceListPageTest, NextOpensThePhoneAfterAskingAboutAStandardPhonebook) {
    PluggedPhone standard(tree, "standard-ucs2", "SN-STD");
    showPage(test, 1);
    ASSERT_EQ(sheet.buttons, kBackAndNext);

    dialogs.answerMessage(MessageAnswer::Cancel);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    EXPECT_FALSE(test.app().hasPhoneManager());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    const MessageRequest& question = dialogs.questions()[0].message;
    EXPECT_EQ(question.caption, test.text(10264));
    EXPECT_EQ(question.text, test.text(10274));
    EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.questions()[0].owner, page.get());

    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Step);
    EXPECT_TRUE(test.app().hasPhoneManager());
    EXPECT_EQ(test.app().deviceName(), u"Z1");
    EXPECT_EQ(test.app().devicePort(), std::u16string(standard.port.begin(), standard.port.end()));

    // Coming back to the page lets the phone go.
    page->onSetActive();
    EXPECT_FALSE(test.app().hasPhoneManager());
}

TEST_F(DeviceListPageTest, AnExtendedPhoneOpensWithoutAQuestionAndOneThatWentAwayCannot) {
    PluggedPhone extended(tree, "demo", "SN-DEMO");
    showPage(test, 1);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Step);
    EXPECT_TRUE(test.app().hasPhoneManager());
    EXPECT_TRUE(dialogs.questions().empty());

    // The phone's port is gone, but its device is still listed.
    page->onSetActive();
    extended.phone.stop();
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    EXPECT_FALSE(test.app().hasPhoneManager());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    // The box names the cause: the port is gone.
    EXPECT_EQ(dialogs.questions()[0].message.caption, test.text(10267));
    EXPECT_EQ(dialogs.questions()[0].message.text,
              test.text(10311) + QStringLiteral("\n\n") + test.text(10312));
    EXPECT_EQ(dialogs.questions()[0].message.icon, MessageIcon::Warning);

    // With nothing selected there is nothing to open.
    list()->clearSelection();
    EXPECT_EQ(sheet.buttons, kBackOnly);
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    EXPECT_EQ(dialogs.questions().size(), 2u);
}

// Another program of the same user holds a port: sh opens it, locks it and becomes sleep.
class PortHolder {
public:
    explicit PortHolder(const std::string& port)
        : child_("/bin/sh",
                 {"-c", "exec 3<>\"$1\" && flock -n 3 && echo held && exec sleep 60", "sh", port}) {
    }
    // Until the port is held and the shell has become sleep: "held" comes just before the
    // exec, and the holder's name is read from the process.
    bool waitUntilHeld() {
        if (!child_.waitForOutput("held", std::chrono::milliseconds(kWaitMs))) {
            return false;
        }
        const std::string comm = "/proc/" + std::to_string(child_.pid()) + "/comm";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream file(comm);
            std::string name;
            if (std::getline(file, name) && name == "sleep") {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    QString pid() const { return QString::number(child_.pid()); }

private:
    test_support::ChildProcess child_;
};

// The visible tooltip's frame, if one is shown.
std::optional<QRect> shownToolTip() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget->geometry();
        }
    }
    return std::nullopt;
}

TEST_F(DeviceListPageTest, APortHeldByAnotherProgramNamesItInTheTooltipAndTheBox) {
    // One phone is held before it is listed, one after it was found usable.
    phonesim::Simulator heldEarly(phonesim::BuiltInScenarios::load("standard-ucs2"));
    PortHolder early(heldEarly.portPath());
    ASSERT_TRUE(early.waitUntilHeld());
    tree.addModemPhone(heldEarly.portPath(), phonesim::SimulatedDeviceTree::makersPhone("SN-H"));
    PluggedPhone later(tree, "demo", "SN-DEMO");
    showPage(test, 2);
    const QString sleep = QStringLiteral("sleep");

    const int heldRow = rowOf(test.text(10282));
    ASSERT_GE(heldRow, 0);
    select(heldRow);
    EXPECT_EQ(sheet.buttons, kBackOnly);
    const QString what = test.text(10309)
                             .replace(QStringLiteral("%1"), sleep)
                             .replace(QStringLiteral("%2"), early.pid());
    EXPECT_EQ(flat(page->rowToolTip(heldRow)),
              what + u' ' + test.text(10310) + u' ' + test.text(10373));
    // Its lines fit the window, and the tooltip stays inside it wherever the mouse is.
    const QFontMetrics metrics(QToolTip::font());
    for (const QString& line : page->rowToolTip(heldRow).split(u'\n')) {
        EXPECT_LT(metrics.horizontalAdvance(line), page->width()) << line.toStdString();
    }
    const QRect frame = page->window()->geometry();
    const QRect rowRect = list()->visualItemRect(list()->topLevelItem(heldRow));
    for (const QPoint at : {rowRect.topLeft() + QPoint(1, 1), rowRect.topRight() + QPoint(-1, 1)}) {
        ASSERT_TRUE(page->showRowToolTip(heldRow, list()->viewport()->mapToGlobal(at)));
        const std::optional<QRect> tip = shownToolTip();
        ASSERT_TRUE(tip.has_value());
        EXPECT_TRUE(frame.contains(*tip))
            << tip->x() << "," << tip->y() << " " << tip->width() << "x" << tip->height();
    }
    screenshot("held-port-tooltip");
    QToolTip::hideText();
    // "?" opens the section on ports in use.
    page->rowButton()->click();
    std::string file;
    std::string anchor;
    ASSERT_TRUE(AppContext::helpPage(10, file, anchor));
    ASSERT_EQ(test.help().opened.size(), 1u);
    EXPECT_EQ(test.help().opened[0].second, anchor);

    // The phone found usable is taken by another program before Next: the box names it.
    PortHolder taker(later.phone.portPath());
    ASSERT_TRUE(taker.waitUntilHeld());
    select(rowOf("Z3"));
    ASSERT_EQ(sheet.buttons, kBackAndNext);
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    EXPECT_FALSE(test.app().hasPhoneManager());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, test.text(10267));
    EXPECT_EQ(dialogs.questions()[0].message.text,
              test.text(10309)
                      .replace(QStringLiteral("%1"), sleep)
                      .replace(QStringLiteral("%2"), taker.pid()) +
                  QStringLiteral("\n\n") + test.text(10310));
}

// The devices of other makers: listed only with the box ticked, none opened before Next; Next
// asks the one selected and tells why it cannot be read.
TEST_F(DeviceListPageTest, OtherMakersDevicesAreAskedOnlyOnNextAndTheirCauseIsTold) {
    phonesim::Scenario locked = phonesim::BuiltInScenarios::load("other-maker");
    locked.phone.sim = "pin";
    phonesim::Simulator lockedPhone(locked);
    tree.addOtherMakersPhone(lockedPhone.portPath());
    tree.addOtherVendorModem("");  // its node is no terminal
    PluggedPhone maker(tree, "demo", "SN-DEMO");
    showPage(test, 1);
    ASSERT_FALSE(page->otherMakersBox()->isChecked());
    EXPECT_EQ(page->otherMakersBox()->text(), test.text(10370));
    page->otherMakersBox()->setChecked(true);
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Z3"));
    const int phoneRow = rowOf(QStringLiteral("Nordlicht NL-200"));
    ASSERT_GE(phoneRow, 1);
    const int modemRow = phoneRow == 1 ? 2 : 1;
    for (const int row : {phoneRow, modemRow}) {
        EXPECT_EQ(cell(row, 1), test.text(10371));
        select(row);
        EXPECT_EQ(sheet.buttons, kBackAndNext) << "Next asks it";
        EXPECT_EQ(page->rowButton()->text(), QStringLiteral("?"));
        EXPECT_EQ(flat(page->rowToolTip(row)), causeTip(10325, 10326));
    }
    EXPECT_TRUE(lockedPhone.transcript().empty());

    // The phone answers, but its SIM waits for its PIN, which is never sent.
    select(phoneRow);
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    EXPECT_FALSE(test.app().hasPhoneManager());
    ASSERT_EQ(dialogs.questions().size(), 1u);
    EXPECT_EQ(dialogs.questions()[0].message.caption, test.text(10374));
    EXPECT_EQ(dialogs.questions()[0].message.text,
              test.text(10323) + QStringLiteral("\n\n") + test.text(10324));
    EXPECT_FALSE(lockedPhone.transcript().empty());
    for (const std::string& command : lockedPhone.transcript()) {
        EXPECT_FALSE(command.starts_with("AT+MODE") || command.starts_with("AT+CPIN=")) << command;
    }
    // Its row now tells that cause.
    EXPECT_EQ(flat(page->rowToolTip(rowOf(QStringLiteral("Nordlicht NL-200")))),
              causeTip(10323, 10324));

    // A node that is no terminal cannot be opened.
    select(rowOf(cell(modemRow, 0)));
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(page->onWizardNext().kind, Transition::Kind::Stay);
    ASSERT_EQ(dialogs.questions().size(), 2u);
    EXPECT_EQ(dialogs.questions()[1].message.caption, test.text(10267));
    EXPECT_EQ(dialogs.questions()[1].message.text,
              test.text(10313) + QStringLiteral("\n\n") + test.text(10314));

    // Unticked, the box hides them again.
    page->otherMakersBox()->setChecked(false);
    EXPECT_EQ(list()->topLevelItemCount(), 1);
}

TEST_F(DeviceListPageTest, UnpluggingTheSelectedPhoneTellsTheCurrentPage) {
    PluggedPhone first(tree, "demo", "SN-ONE");
    PluggedPhone second(tree, "utf8-only", "SN-TWO");
    showPage(test, 2);
    select(rowOf("Z2u"));
    ASSERT_EQ(page->onWizardNext().kind, Transition::Kind::Step);
    sheet.current = WizardPageId::ContactsSource;
    const int updates = sheet.buttonUpdates;

    // Another phone goes: the list follows, the current page is not told.
    unplug(first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->topLevelItemCount() == 1; }, kWaitMs));
    EXPECT_EQ(sheet.removals, 0);
    EXPECT_EQ(sheet.buttonUpdates, updates) << "the buttons belong to the current page";

    // The selected one goes: the current page is told, the list is empty.
    unplug(second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet.removals == 1; }, kWaitMs));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(selectedRow(), -1);

    // Back on the page: nothing to choose.
    sheet.current = WizardPageId::DeviceList;
    page->onSetActive();
    EXPECT_EQ(sheet.buttons, kBackOnly);
    EXPECT_FALSE(page->rowButton()->isVisible());
}

TEST_F(DeviceListPageTest, WhenTheSelectedPhoneLeavesTheListTheFirstRowIsSelected) {
    PluggedPhone first(tree, "demo", "SN-ONE");
    PluggedPhone second(tree, "standard-ucs2", "SN-TWO");
    PluggedPhone third(tree, "utf8-only", "SN-THREE");
    showPage(test, 3);
    const int gone = rowOf("Z1");
    select(gone);
    unplug(second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->topLevelItemCount() == 2; }, kWaitMs));
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(sheet.buttons, kBackAndNext);
    EXPECT_EQ(sheet.removals, 0) << "no phone was opened";
}

TEST(IMEIAliasDialog, TheAliasKeptIsTheTypedTextOrThePreviousOne) {
    const QString previous = QStringLiteral("Old");
    const QString fortyOne(41, u'x');
    // 38 letters, then a character made of two UTF-16 units: the limit falls inside it.
    const QString splitAtLimit = QString(38, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct {
        QString typed;
        QString kept;
    } cases[] = {
        {"Ann's phone", "Ann's phone"},
        {"", "Old"},
        {"   ", "Old"},
        {"  Work  ", "Work"},
        {fortyOne, QString(39, u'x')},
        {splitAtLimit, QString(38, u'a')},
        {QString::fromUtf8("Телефон Анны"), QString::fromUtf8("Телефон Анны")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IMEIAliasDialog::resultAlias(c.typed, previous), c.kept) << c.typed.toStdString();
    }
}

}  // namespace
