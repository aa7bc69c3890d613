#pragma once

#include <QPointer>
#include <QWidget>

#include <deque>
#include <optional>
#include <variant>
#include <vector>

#include "ui/IUserDialogs.h"

namespace ui_test {

// IUserDialogs for tests: answers from a script, in order, and a record of every question.
// A question with no answer queued, an answer of the wrong kind, or one that is not among the
// box's buttons fails the test and is answered as Escape would (nothing blocks); answers left
// unused when the fake goes fail the test too.
//
//     ScriptedUserDialogs dialogs;
//     dialogs.answerMessage(MessageAnswer::No);  // "Do you want to cancel?" - No
//     page.cancel();
//     ASSERT_EQ(dialogs.questions().size(), 1u);
//     EXPECT_EQ(dialogs.questions()[0].message.buttons, MessageButtons::YesNo);
class ScriptedUserDialogs final : public IUserDialogs {
public:
    struct Question {
        enum class Kind { Message, SaveFile };
        Kind kind = Kind::Message;
        QPointer<QWidget> owner;
        MessageRequest message;    // for Kind::Message
        SaveFileRequest saveFile;  // for Kind::SaveFile
    };

    ScriptedUserDialogs() = default;
    ~ScriptedUserDialogs() override;
    ScriptedUserDialogs(const ScriptedUserDialogs&) = delete;
    ScriptedUserDialogs& operator=(const ScriptedUserDialogs&) = delete;

    void answerMessage(MessageAnswer answer);
    // Nothing: the user cancels the dialog.
    void answerSaveFile(std::optional<SaveFileAnswer> answer);

    const std::vector<Question>& questions() const { return questions_; }
    std::size_t pendingAnswers() const { return answers_.size(); }

    MessageAnswer showMessage(QWidget* owner, const MessageRequest& request) override;
    std::optional<SaveFileAnswer> askSaveFile(QWidget* owner,
                                              const SaveFileRequest& request) override;

private:
    using Answer = std::variant<MessageAnswer, std::optional<SaveFileAnswer>>;

    std::deque<Answer> answers_;
    std::vector<Question> questions_;
};

}  // namespace ui_test
