#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace ui_test {

// Answers the modal dialogs that the code under test opens with exec() (message boxes, file
// dialogs, the wizard's own dialogs), so that a test never waits for a person.
//
// Each expect() queues the answer for the next modal window to be shown; the answer runs once
// that window's event loop runs. A modal window that nobody expected fails the test and is
// closed; so is one still open after the time limit (an answer that did not close it). Every
// answer left unused when the answerer goes fails the test. While CONTAXIO_SCREENSHOTS is set,
// each dialog is saved as "<test>-<n>-<class>.png" before it is answered.
//
//     ModalDialogAnswerer answerer;
//     answerer.expect(ModalDialogAnswerer::press(QMessageBox::Yes));
//     page.cancel();  // shows the question; Yes is pressed
class ModalDialogAnswerer final : public QObject {
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget* dialog)>;

    struct Seen {
        QString className;
        QString title;
        QString text;  // a message box's text
    };

    explicit ModalDialogAnswerer(std::chrono::milliseconds limit = std::chrono::seconds(10));
    ~ModalDialogAnswerer() override;
    ModalDialogAnswerer(const ModalDialogAnswerer&) = delete;
    ModalDialogAnswerer& operator=(const ModalDialogAnswerer&) = delete;

    void expect(Answer answer);

    // The dialogs shown so far, in order.
    const std::vector<Seen>& seen() const { return seen_; }
    std::size_t pending() const { return answers_.size(); }

    // Ready-made answers.
    static Answer press(QMessageBox::StandardButton button);  // a message box's button
    static Answer chooseFile(const QString& path);  // a QFileDialog: the file, then accept
    static Answer reject();                         // any dialog: Escape's effect

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onModalShown(QWidget* dialog);

    std::chrono::milliseconds limit_;
    std::deque<Answer> answers_;
    std::vector<Seen> seen_;
};

}  // namespace ui_test
