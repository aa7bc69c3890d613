#pragma once

#include "ui/IUserDialogs.h"

// The message boxes and file dialogs of the desktop: QMessageBox and QFileDialog, modal, over
// the owner's window.
class QtUserDialogs final : public IUserDialogs {
public:
    MessageAnswer showMessage(QWidget* owner, const MessageRequest& request) override;
    std::optional<SaveFileAnswer> askSaveFile(QWidget* owner,
                                              const SaveFileRequest& request) override;
};
