// The desktop's message boxes and save dialog behind IUserDialogs, shown for real and answered
// by ModalDialogAnswerer.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

#include "ModalDialogAnswerer.h"
#include "TempDir.h"
#include "ui/QtUserDialogs.h"

using ui_test::ModalDialogAnswerer;

namespace {

// A window with a field inside, standing in for a wizard page.
class OwnerWindow {
public:
    OwnerWindow() {
        auto* layout = new QVBoxLayout(&window_);
        field_ = new QLineEdit;
        layout->addWidget(field_);
        window_.setWindowTitle(QStringLiteral("Owner"));
        window_.show();
    }
    QWidget* window() { return &window_; }
    QWidget* child() { return field_; }

private:
    QWidget window_;
    QLineEdit* field_ = nullptr;
};

struct ShownBox {
    QWidget* parent = nullptr;
    bool modal = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Records what the box looks like, then answers it.
ModalDialogAnswerer::Answer inspectThen(ShownBox& shown, ModalDialogAnswerer::Answer answer) {
    return [&shown, answer = std::move(answer)](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        shown.parent = box->parentWidget();
        shown.modal = box->isModal();
        shown.icon = box->icon();
        shown.title = box->windowTitle();
        shown.text = box->text();
        shown.format = box->textFormat();
        shown.buttons = box->standardButtons();
        if (auto* button = box->defaultButton()) {
            shown.defaultButton = box->standardButton(button);
        }
        answer(dialog);
    };
}

ModalDialogAnswerer::Answer pressEscape() {
    return [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
}

struct ButtonsCase {
    MessageButtons buttons;
    std::vector<std::pair<QMessageBox::StandardButton, MessageAnswer>> shown;  // default first
    MessageAnswer onEscape;
};

const ButtonsCase kButtonCases[] = {
    {MessageButtons::Ok, {{QMessageBox::Ok, MessageAnswer::Ok}}, MessageAnswer::Ok},
    {MessageButtons::OkCancel,
     {{QMessageBox::Ok, MessageAnswer::Ok}, {QMessageBox::Cancel, MessageAnswer::Cancel}},
     MessageAnswer::Cancel},
    {MessageButtons::YesNo,
     {{QMessageBox::Yes, MessageAnswer::Yes}, {QMessageBox::No, MessageAnswer::No}},
     MessageAnswer::No},
    {MessageButtons::RetryCancel,
     {{QMessageBox::Retry, MessageAnswer::Retry}, {QMessageBox::Cancel, MessageAnswer::Cancel}},
     MessageAnswer::Cancel},
};

class MessageBoxButtons : public ::testing::TestWithParam<ButtonsCase> {};

TEST_P(MessageBoxButtons, EachButtonAndEscapeGiveTheirAnswer) {
    const ButtonsCase& c = GetParam();
    OwnerWindow owner;
    QtUserDialogs dialogs;
    const MessageRequest request{QStringLiteral("Caption"), QStringLiteral("Text"),
                                 MessageIcon::Warning, c.buttons};
    QMessageBox::StandardButtons expectedButtons;
    for (const auto& [button, answer] : c.shown) {
        expectedButtons |= button;
    }

    for (const auto& [button, answer] : c.shown) {
        ShownBox shown;
        ModalDialogAnswerer answerer;
        answerer.expect(inspectThen(shown, ModalDialogAnswerer::press(button)));
        EXPECT_EQ(dialogs.showMessage(owner.child(), request), answer);
        EXPECT_EQ(shown.buttons, expectedButtons);
        EXPECT_EQ(shown.defaultButton, c.shown.front().first);
        EXPECT_EQ(shown.parent, owner.window()) << "owned by the page's window";
        EXPECT_TRUE(shown.modal);
    }

    ModalDialogAnswerer answerer;
    answerer.expect(pressEscape());
    EXPECT_EQ(dialogs.showMessage(owner.child(), request), c.onEscape);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, MessageBoxButtons, ::testing::ValuesIn(kButtonCases));

TEST(QtUserDialogs, ShowsCaptionIconAndTheTextAsPlainText) {
    OwnerWindow owner;
    QtUserDialogs dialogs;
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Error, QMessageBox::Critical},
    };
    // A phone's name goes into texts; markup in it must show as it is, not be rendered.
    const QString text = QStringLiteral("The phone <b>X1</b> & <img src=x> was unplugged.");
    for (const auto& [icon, qtIcon] : icons) {
        ShownBox shown;
        ModalDialogAnswerer answerer;
        answerer.expect(inspectThen(shown, ModalDialogAnswerer::press(QMessageBox::Ok)));
        dialogs.showMessage(owner.window(), {QStringLiteral("Warning"), text, icon});
        EXPECT_EQ(shown.icon, qtIcon);
        EXPECT_EQ(shown.title, QStringLiteral("Warning"));
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.format, Qt::PlainText);
    }
}

TEST(QtUserDialogs, AMessageWithoutOwnerHasNoParentAndIsStillModal) {
    QtUserDialogs dialogs;
    ShownBox shown;
    ModalDialogAnswerer answerer;
    answerer.expect(inspectThen(shown, ModalDialogAnswerer::press(QMessageBox::Ok)));
    EXPECT_EQ(dialogs.showMessage(nullptr, {QStringLiteral("Critical Error"),
                                            QStringLiteral("Cannot start."), MessageIcon::Error}),
              MessageAnswer::Ok);
    EXPECT_EQ(shown.parent, nullptr);
    EXPECT_TRUE(shown.modal);
}

class SaveFileDialog : public ::testing::Test {
protected:
    SaveFileRequest request() const {
        SaveFileRequest r;
        r.title = QStringLiteral("Save contacts as");
        r.folder = folder();
        r.fileName = QStringLiteral("my_contacts.csv");
        r.filters = {{QStringLiteral("Google CSV"), QStringLiteral("*.csv")}};
        r.defaultSuffix = QStringLiteral("csv");
        return r;
    }
    QString folder() const { return QString::fromStdString(dir_.path().string()); }
    QString file(const char* name) const { return folder() + u'/' + QLatin1String(name); }

    test_support::TempDir dir_;
    OwnerWindow owner_;
    QtUserDialogs dialogs_;
    ModalDialogAnswerer answerer_;
};

TEST_F(SaveFileDialog, OffersTheFilterInTheFolderAndAddsTheExtension) {
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString directory;
    QString title;
    QWidget* parent = nullptr;
    bool modal = false;
    answerer_.expect([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        mode = files->acceptMode();
        filters = files->nameFilters();
        directory = files->directory().absolutePath();
        title = files->windowTitle();
        parent = files->parentWidget();
        modal = files->isModal();
        ModalDialogAnswerer::chooseFile(file("phone"))(dialog);
    });

    const std::optional<SaveFileAnswer> answer = dialogs_.askSaveFile(owner_.child(), request());

    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, file("phone.csv"));
    EXPECT_EQ(answer->filter, 0);
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_EQ(filters, QStringList{QStringLiteral("Google CSV (*.csv)")});
    EXPECT_EQ(directory, folder());
    EXPECT_EQ(title, QStringLiteral("Save contacts as"));
    EXPECT_EQ(parent, owner_.window());
    EXPECT_TRUE(modal);
}

TEST_F(SaveFileDialog, AsksBeforeAnExistingFileIsChosen) {
    QFile existing(file("old.csv"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    answerer_.expect(ModalDialogAnswerer::chooseFile(file("old.csv")));
    answerer_.expect(ModalDialogAnswerer::press(QMessageBox::Yes));  // overwrite it
    const std::optional<SaveFileAnswer> answer = dialogs_.askSaveFile(owner_.child(), request());

    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, file("old.csv"));
    ASSERT_EQ(answerer_.seen().size(), 2u);
    EXPECT_EQ(answerer_.seen()[1].className, QStringLiteral("QMessageBox"));
}

TEST_F(SaveFileDialog, RefusingToOverwriteKeepsTheDialogAndCancelGivesNothing) {
    QFile existing(file("old.csv"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    QPointer<QWidget> fileDialog;
    answerer_.expect([&fileDialog, path = file("old.csv")](QWidget* dialog) {
        fileDialog = dialog;
        ModalDialogAnswerer::chooseFile(path)(dialog);
    });
    answerer_.expect([&fileDialog](QWidget* box) {
        ModalDialogAnswerer::press(QMessageBox::No)(box);
        // The file dialog is still open: the user gives up.
        QTimer::singleShot(0, fileDialog, [&fileDialog] {
            ASSERT_TRUE(fileDialog->isVisible());
            ModalDialogAnswerer::reject()(fileDialog);
        });
    });

    EXPECT_FALSE(dialogs_.askSaveFile(owner_.child(), request()).has_value());
    EXPECT_EQ(answerer_.seen().size(), 2u);
}

TEST_F(SaveFileDialog, AMissingFolderIsNotOffered) {
    SaveFileRequest missing = request();
    missing.folder = file("no-such-folder");
    QString directory;
    answerer_.expect([&directory](QWidget* dialog) {
        directory = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath();
        ModalDialogAnswerer::reject()(dialog);
    });

    EXPECT_FALSE(dialogs_.askSaveFile(owner_.window(), missing).has_value());
    EXPECT_NE(directory, missing.folder);
    EXPECT_TRUE(QFileInfo(directory).isDir());
}

}  // namespace
