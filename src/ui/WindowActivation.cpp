#include "ui/WindowActivation.h"

#include <QWidget>

void bringToFront(QWidget* window, const QString& activationToken) {
    if (window == nullptr) {
        return;
    }
    window = window->window();
    if (!activationToken.isEmpty()) {
        // Qt's Wayland plugin hands this token to the compositor with the next activation.
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toLatin1());
    }
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
