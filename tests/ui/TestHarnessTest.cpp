// The harness the wizard's tests stand on: it must fail a test rather than block it, and must
// not let a wrong answer pass.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>

#include <chrono>

#include "ModalDialogAnswerer.h"
#include "Screenshots.h"
#include "ScriptedUserDialogs.h"
#include "TempDir.h"

using ui_test::ModalDialogAnswerer;
using ui_test::ScriptedUserDialogs;

namespace {

const MessageRequest kConfirmCancel{QStringLiteral("Exit"), QStringLiteral("Leave the wizard?"),
                                    MessageIcon::Question, MessageButtons::YesNo};

TEST(ScriptedUserDialogs, AnswersInOrderAndRecordsEveryQuestion) {
    QWidget page;
    ScriptedUserDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::No);
    dialogs.answerSaveFile(SaveFileAnswer{QStringLiteral("/tmp/a.csv"), 0});
    dialogs.answerSaveFile(std::nullopt);

    EXPECT_EQ(dialogs.showMessage(&page, kConfirmCancel), MessageAnswer::No);
    const std::optional<SaveFileAnswer> chosen = dialogs.askSaveFile(&page, {});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, QStringLiteral("/tmp/a.csv"));
    EXPECT_FALSE(dialogs.askSaveFile(nullptr, {}).has_value());

    ASSERT_EQ(dialogs.questions().size(), 3u);
    const ScriptedUserDialogs::Question& first = dialogs.questions()[0];
    EXPECT_EQ(first.kind, ScriptedUserDialogs::Question::Kind::Message);
    EXPECT_EQ(first.owner, &page);
    EXPECT_EQ(first.message.caption, QStringLiteral("Exit"));
    EXPECT_EQ(first.message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.questions()[1].kind, ScriptedUserDialogs::Question::Kind::SaveFile);
    EXPECT_EQ(dialogs.questions()[2].owner, nullptr);
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
}

TEST(ScriptedUserDialogs, AnUnexpectedQuestionFailsAndIsAnsweredAsEscapeWould) {
    MessageAnswer answer = MessageAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserDialogs dialogs;
            answer = dialogs.showMessage(nullptr, kConfirmCancel);
        },
        "unexpected message box \"Exit\"");
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST(ScriptedUserDialogs, AnAnswerThatIsNotAmongTheButtonsFails) {
    MessageAnswer answer = MessageAnswer::Retry;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserDialogs dialogs;
            dialogs.answerMessage(MessageAnswer::Retry);
            answer = dialogs.showMessage(nullptr, kConfirmCancel);
        },
        "not among the buttons");
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST(ScriptedUserDialogs, AnAnswerOfTheWrongKindFails) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserDialogs dialogs;
            dialogs.answerMessage(MessageAnswer::Ok);
            EXPECT_FALSE(dialogs.askSaveFile(nullptr, {}).has_value());
        },
        "but the code opened a save-file dialog");
}

TEST(ScriptedUserDialogs, AnswersNeverAskedForFail) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUserDialogs dialogs;
            dialogs.answerMessage(MessageAnswer::Ok);
        },
        "1 scripted answer(s) never asked for");
}

TEST(ModalDialogAnswerer, AnUnexpectedModalDialogFailsAndIsClosed) {
    int result = -1;
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDialogAnswerer answerer;
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Surprise"),
                            QStringLiteral("Nobody expected this."), QMessageBox::Ok);
            result = box.exec();
        },
        "unexpected modal dialog: QMessageBox \"Surprise\"");
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST(ModalDialogAnswerer, ADialogThatStaysOpenAfterItsAnswerFailsAndIsClosed) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDialogAnswerer answerer(std::chrono::milliseconds(50));
            answerer.expect([](QWidget*) {});  // answers nothing
            QDialog dialog;
            dialog.setWindowTitle(QStringLiteral("Stuck"));
            dialog.exec();
        },
        "still open after its answer");
}

TEST(ModalDialogAnswerer, ExpectedDialogsThatNeverCameFail) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDialogAnswerer answerer;
            answerer.expect(ModalDialogAnswerer::reject());
        },
        "1 expected modal dialog(s) never shown");
}

TEST(ModalDialogAnswerer, AnswersNestedDialogsInTurn) {
    ModalDialogAnswerer answerer;
    int inner = -1;
    answerer.expect([&inner](QWidget* outer) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Inner"), QStringLiteral("Sure?"),
                        QMessageBox::Yes | QMessageBox::No, outer);
        inner = box.exec();
        ModalDialogAnswerer::reject()(outer);
    });
    answerer.expect(ModalDialogAnswerer::press(QMessageBox::No));
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Outer"));
    EXPECT_EQ(outer.exec(), QDialog::Rejected);
    EXPECT_EQ(inner, QMessageBox::No);
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Outer"));
    EXPECT_EQ(answerer.seen()[1].text, QStringLiteral("Sure?"));
}

// Sets CONTAXIO_SCREENSHOTS for one test.
class ScreenshotFolder {
public:
    explicit ScreenshotFolder(const QString& folder)
        : previous_(qgetenv("CONTAXIO_SCREENSHOTS")),
          wasSet_(qEnvironmentVariableIsSet("CONTAXIO_SCREENSHOTS")) {
        qputenv("CONTAXIO_SCREENSHOTS", folder.toLocal8Bit());
    }
    ~ScreenshotFolder() {
        if (wasSet_) {
            qputenv("CONTAXIO_SCREENSHOTS", previous_);
        } else {
            qunsetenv("CONTAXIO_SCREENSHOTS");
        }
    }

private:
    QByteArray previous_;
    bool wasSet_;
};

TEST(Screenshots, SavesAPngOfTheWidgetWhenAFolderIsNamed) {
    test_support::TempDir dir;
    const QString folder = QString::fromStdString((dir.path() / "shots").string());
    QLabel label(QStringLiteral("Hello"));
    label.resize(120, 40);
    label.show();
    {
        const ScreenshotFolder unset(QString{});
        qunsetenv("CONTAXIO_SCREENSHOTS");
        EXPECT_TRUE(ui_test::saveScreenshot(&label, QStringLiteral("none")).isEmpty());
    }
    const ScreenshotFolder set(folder);
    const QString path = ui_test::saveScreenshot(&label, QStringLiteral("page 1/welcome"));
    EXPECT_EQ(path, folder + QStringLiteral("/page_1_welcome.png"));
    const QImage image(path);
    EXPECT_EQ(image.size(), label.size() * label.devicePixelRatio());
}

}  // namespace
