#pragma once

#include <QString>

#include <optional>
#include <vector>

class QWidget;

// The message boxes and the save-file dialog the wizard's pages show, behind one small
// interface so that tests can answer them. Every call is modal: it returns when the user has
// answered, and only on the UI thread.

enum class MessageIcon { None, Information, Question, Warning, Error };

enum class MessageButtons { Ok, OkCancel, YesNo, RetryCancel };

enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
    QString caption;
    QString text;  // plain text: never read as markup, whatever a phone's name holds
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// One entry of a file dialog's type list, such as {"Google CSV", "*.csv"}.
struct FileFilter {
    QString label;
    QString pattern;
};

struct SaveFileRequest {
    QString title;
    QString folder;    // the folder shown first, when it exists
    QString fileName;  // the name proposed
    std::vector<FileFilter> filters;
    int selectedFilter = 0;  // index into filters
    QString defaultSuffix;   // added to a name typed without an extension, e.g. "csv"
};

struct SaveFileAnswer {
    QString path;    // the full path of the file chosen
    int filter = 0;  // the index of the filter entry selected when the user confirmed
};

class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;

    // Shows a message box over owner's window (without owner when it is null) and returns the
    // button the user chose. Leaving the box with Escape or its close button answers Cancel for
    // OK/Cancel and Retry/Cancel, No for Yes/No, and OK for a lone OK.
    virtual MessageAnswer showMessage(QWidget* owner, const MessageRequest& request) = 0;

    // Asks for the file to save to: the desktop's own dialog where the platform offers one. The
    // user is asked before an existing file is chosen, and the folder must exist. Nothing when
    // the user cancels.
    virtual std::optional<SaveFileAnswer> askSaveFile(QWidget* owner,
                                                      const SaveFileRequest& request) = 0;
};

// The answer that leaving a box with Escape gives for its buttons.
MessageAnswer escapeAnswer(MessageButtons buttons);

// Whether the answer is one of the box's buttons.
bool offers(MessageButtons buttons, MessageAnswer answer);
