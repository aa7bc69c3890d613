#include "ui/OwnedMessageBox.h"

#include "ui/IUserDialogs.h"

OwnedMessageBox::OwnedMessageBox(IUserDialogs& dialogs, QWidget* owner)
    : dialogs_(dialogs), owner_(owner) {}

void OwnedMessageBox::showError(const std::u16string& caption, const std::u16string& text) {
    dialogs_.showMessage(owner_.data(), MessageRequest{QString::fromStdU16String(caption),
                                                       QString::fromStdU16String(text),
                                                       MessageIcon::Error, MessageButtons::Ok});
}
