#pragma once

#include <QDialog>

#include <vector>

#include "ui/LanguageChoices.h"

class AppContext;
class QComboBox;

// The language dialog, opened by the language button of the welcome page: a drop-down list of
// the languages found (see language_choices), OK and Cancel. OK makes the selected language
// the current one (AppContext::setLanguage); loading it is the caller's work. Cancel changes
// nothing.
class CLangSelectionDialog final : public QDialog {
    Q_OBJECT

public:
    CLangSelectionDialog(AppContext& app, QWidget* parent);

    QComboBox* languageList() const { return list_; }

    void accept() override;

private:
    AppContext& app_;
    QComboBox* list_;
};
