#include "ScriptedUserDialogs.h"

#include <gtest/gtest.h>

namespace ui_test {

ScriptedUserDialogs::~ScriptedUserDialogs() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " scripted answer(s) never asked for";
    }
}

void ScriptedUserDialogs::answerMessage(MessageAnswer answer) {
    answers_.emplace_back(answer);
}

void ScriptedUserDialogs::answerSaveFile(std::optional<SaveFileAnswer> answer) {
    answers_.emplace_back(std::move(answer));
}

MessageAnswer ScriptedUserDialogs::showMessage(QWidget* owner, const MessageRequest& request) {
    Question question;
    question.kind = Question::Kind::Message;
    question.owner = owner;
    question.message = request;
    questions_.push_back(question);

    const std::string what = "message box \"" + request.caption.toStdString() + "\": \"" +
                             request.text.toStdString() + "\"";
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return escapeAnswer(request.buttons);
    }
    const Answer next = answers_.front();
    answers_.pop_front();
    const auto* answer = std::get_if<MessageAnswer>(&next);
    if (answer == nullptr) {
        ADD_FAILURE() << "a save-file answer was queued, but the code asked a " << what;
        return escapeAnswer(request.buttons);
    }
    if (!offers(request.buttons, *answer)) {
        ADD_FAILURE() << "the scripted answer is not among the buttons of the " << what;
        return escapeAnswer(request.buttons);
    }
    return *answer;
}

std::optional<SaveFileAnswer> ScriptedUserDialogs::askSaveFile(QWidget* owner,
                                                               const SaveFileRequest& request) {
    Question question;
    question.kind = Question::Kind::SaveFile;
    question.owner = owner;
    question.saveFile = request;
    questions_.push_back(question);

    const std::string what = "save-file dialog \"" + request.title.toStdString() + "\"";
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return std::nullopt;
    }
    const Answer next = answers_.front();
    answers_.pop_front();
    const auto* answer = std::get_if<std::optional<SaveFileAnswer>>(&next);
    if (answer == nullptr) {
        ADD_FAILURE() << "a message answer was queued, but the code opened a " << what;
        return std::nullopt;
    }
    return *answer;
}

}  // namespace ui_test
