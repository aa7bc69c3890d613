#pragma once

#include <QString>

class QWidget;

// Brings a top-level window to the front and gives it the focus: restores it when minimised,
// raises it and activates it. activationToken is the desktop's token of the start that asked
// for it (from SingleInstance); on Wayland the compositor lets a window take the focus only
// with such a token, elsewhere it is not needed.
void bringToFront(QWidget* window, const QString& activationToken = {});
