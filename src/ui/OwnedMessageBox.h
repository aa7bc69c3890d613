#pragma once

#include <QPointer>
#include <QWidget>

#include "app/IMessageBox.h"

class IUserDialogs;

// The application shell's error box (IMessageBox), shown through IUserDialogs over a window of
// the wizard: the page that asked for help, or no window at all (owner null).
class OwnedMessageBox final : public IMessageBox {
public:
    OwnedMessageBox(IUserDialogs& dialogs, QWidget* owner);

    void showError(const std::u16string& caption, const std::u16string& text) override;

private:
    IUserDialogs& dialogs_;
    QPointer<QWidget> owner_;
};
