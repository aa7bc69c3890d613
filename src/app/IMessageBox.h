#pragma once

#include <string>

// A modal message box with an error icon, owned by the window the implementation stands for (a
// wizard page, or no window at all). Supplied by the user interface; tests record the calls.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;

    // Shows the box and returns when the user has closed it.
    virtual void showError(const std::u16string& caption, const std::u16string& text) = 0;
};
