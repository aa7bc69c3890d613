#include "ui/CLangSelectionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/LanguageManager.h"
#include "app/UiTextIds.h"

namespace {

// The language button's label ("&Language...") as the dialog's title: without its mnemonic
// marker and the dots that say that a dialog opens.
QString titleFrom(const QString& label) {
    QString title;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label.at(i) != u'&') {
            title += label.at(i);
        } else if (i + 1 < label.size() && label.at(i + 1) == u'&') {
            title += u'&';  // "&&" is a literal ampersand
            ++i;
        }
    }
    while (title.endsWith(u'.') || title.endsWith(QChar(0x2026))) {
        title.chop(1);
    }
    return title.trimmed();
}

}  // namespace

CLangSelectionDialog::CLangSelectionDialog(AppContext& app, QWidget* parent)
    : QDialog(parent), app_(app), list_(new QComboBox(this)) {
    const QString title = titleFrom(QString::fromStdU16String(app.text(ui_text::LanguageLabel)));
    setWindowTitle(title);
    list_->setAccessibleName(title);
    list_->setMinimumContentsLength(24);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    LanguageManager& languages = app.languageManager();
    const std::vector<LanguageChoice> choices =
        language_choices::list(languages, QLocale::system());
    for (const LanguageChoice& choice : choices) {
        list_->addItem(choice.name, QVariant::fromValue(static_cast<uint>(choice.id)));
    }
    list_->setCurrentIndex(language_choices::initialSelection(
        choices, app.language(), languages.detectLanguage(app.environment().locale)));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addSpacing(8);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setText(QString::fromStdU16String(app.text(ui_text::OkLabel)));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QString::fromStdU16String(app.text(ui_text::CancelLabel)));
    connect(buttons, &QDialogButtonBox::accepted, this, &CLangSelectionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CLangSelectionDialog::accept() {
    if (list_->currentIndex() >= 0) {
        app_.setLanguage(static_cast<std::uint16_t>(list_->currentData().toUInt()));
    }
    QDialog::accept();
}
