#include "ui/QtUserDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Ok:
            return QMessageBox::Ok;
        case MessageAnswer::Cancel:
            return QMessageBox::Cancel;
        case MessageAnswer::Yes:
            return QMessageBox::Yes;
        case MessageAnswer::No:
            return QMessageBox::No;
        case MessageAnswer::Retry:
            return QMessageBox::Retry;
    }
    return QMessageBox::NoButton;
}

// The buttons in the order shown; the first is the default one.
std::vector<MessageAnswer> answersOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            break;
        case MessageButtons::OkCancel:
            return {MessageAnswer::Ok, MessageAnswer::Cancel};
        case MessageButtons::YesNo:
            return {MessageAnswer::Yes, MessageAnswer::No};
        case MessageButtons::RetryCancel:
            return {MessageAnswer::Retry, MessageAnswer::Cancel};
    }
    return {MessageAnswer::Ok};
}

QWidget* windowOf(QWidget* owner) {
    return owner != nullptr ? owner->window() : nullptr;
}

}  // namespace

MessageAnswer QtUserDialogs::showMessage(QWidget* owner, const MessageRequest& request) {
    QMessageBox box(iconOf(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    windowOf(owner));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const std::vector<MessageAnswer> answers = answersOf(request.buttons);
    std::vector<std::pair<QAbstractButton*, MessageAnswer>> buttons;
    for (const MessageAnswer answer : answers) {
        buttons.emplace_back(box.addButton(buttonOf(answer)), answer);
    }
    const MessageAnswer onEscape = escapeAnswer(request.buttons);
    for (const auto& [button, answer] : buttons) {
        if (answer == onEscape) {
            box.setEscapeButton(button);
        }
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front().first));
    box.exec();
    for (const auto& [button, answer] : buttons) {
        if (button == box.clickedButton()) {
            return answer;
        }
    }
    return onEscape;
}

std::optional<SaveFileAnswer> QtUserDialogs::askSaveFile(QWidget* owner,
                                                         const SaveFileRequest& request) {
    QFileDialog dialog(windowOf(owner), request.title);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters << QStringLiteral("%1 (%2)").arg(filter.label, filter.pattern);
    }
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters.at(request.selectedFilter));
    }
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
    }
    if (!request.folder.isEmpty() && QFileInfo(request.folder).isDir()) {
        dialog.setDirectory(request.folder);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return std::nullopt;
    }
    SaveFileAnswer answer;
    answer.path = chosen.front();
    answer.filter = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return answer;
}
