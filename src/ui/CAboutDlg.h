#pragma once

#include <QDialog>

class AppContext;
class QLabel;

// The About dialog, opened by the About button of the welcome page: the program icon, the
// program's name and purpose, a second text block, and OK. Its texts come from the current
// language.
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(const AppContext& app, QWidget* parent);

    // The first text block is shown as its first line (the program's name, large) and the
    // rest; the second block as it is.
    QLabel* nameLine() const { return name_; }
    QLabel* firstBlock() const { return first_; }
    QLabel* secondBlock() const { return second_; }

private:
    QLabel* name_;
    QLabel* first_;
    QLabel* second_;
};
