#include "ModalDialogAnswerer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "Screenshots.h"

namespace ui_test {

namespace {

std::string describe(const ModalDialogAnswerer::Seen& seen) {
    return seen.className.toStdString() + " \"" + seen.title.toStdString() + "\" " +
           seen.text.toStdString();
}

void closeDialog(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

}  // namespace

ModalDialogAnswerer::ModalDialogAnswerer(std::chrono::milliseconds limit) : limit_(limit) {
    qApp->installEventFilter(this);
}

ModalDialogAnswerer::~ModalDialogAnswerer() {
    qApp->removeEventFilter(this);
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " expected modal dialog(s) never shown";
    }
}

void ModalDialogAnswerer::expect(Answer answer) {
    answers_.push_back(std::move(answer));
}

bool ModalDialogAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal()) {
            onModalShown(widget);
        }
    }
    return false;
}

void ModalDialogAnswerer::onModalShown(QWidget* dialog) {
    Seen seen{QString::fromLatin1(dialog->metaObject()->className()), dialog->windowTitle(), {}};
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        seen.text = box->text();
    }
    seen_.push_back(seen);
    const int number = static_cast<int>(seen_.size());

    Answer answer;
    if (!answers_.empty()) {
        answer = std::move(answers_.front());
        answers_.pop_front();
    }
    // The answer runs in the dialog's own event loop, once exec() has started it.
    const QPointer<QWidget> guarded(dialog);
    QTimer::singleShot(0, dialog, [guarded, seen, number, answer = std::move(answer)] {
        if (guarded.isNull()) {
            return;
        }
        saveScreenshot(
            guarded,
            QStringLiteral("%1-%2-%3").arg(currentTestName()).arg(number).arg(seen.className));
        if (!answer) {
            ADD_FAILURE() << "unexpected modal dialog: " << describe(seen);
            closeDialog(guarded);
            return;
        }
        answer(guarded);
    });
    QTimer::singleShot(limit_, dialog, [guarded, seen] {
        if (!guarded.isNull() && guarded->isVisible()) {
            ADD_FAILURE() << "modal dialog still open after its answer: " << describe(seen);
            closeDialog(guarded);
        }
    });
}

ModalDialogAnswerer::Answer ModalDialogAnswerer::press(QMessageBox::StandardButton button) {
    return [button](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QAbstractButton* target = box != nullptr ? box->button(button) : nullptr;
        if (target == nullptr) {
            ADD_FAILURE() << "no such message box button: " << static_cast<int>(button) << " on "
                          << dialog->metaObject()->className();
            closeDialog(dialog);
            return;
        }
        target->click();
    };
}

ModalDialogAnswerer::Answer ModalDialogAnswerer::chooseFile(const QString& path) {
    return [path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (files == nullptr) {
            ADD_FAILURE() << "expected a file dialog, got " << dialog->metaObject()->className();
            closeDialog(dialog);
            return;
        }
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();  // public in QDialog, virtual
    };
}

ModalDialogAnswerer::Answer ModalDialogAnswerer::reject() {
    return closeDialog;
}

}  // namespace ui_test
