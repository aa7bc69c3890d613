#include "ui/IMEIAliasDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/UiTextIds.h"

namespace {

QString textOf(const AppContext& app, std::uint32_t id) {
    return QString::fromStdU16String(app.text(id));
}

}  // namespace

IMEIAliasDialog::IMEIAliasDialog(const AppContext& app, const QString& imei, const QString& alias,
                                 QWidget* parent)
    : QDialog(parent),
      imei_(new QLineEdit(imei, this)),
      aliasField_(new QLineEdit(this)),
      alias_(alias) {
    setWindowTitle(textOf(app, ui_text::AliasCaption));
    imei_->setReadOnly(true);
    aliasField_->setMaxLength(kMaxAliasLength);
    aliasField_->setText(alias);
    aliasField_->selectAll();
    aliasField_->setMinimumWidth(aliasField_->fontMetrics().averageCharWidth() * 36);

    auto* form = new QFormLayout;
    auto* imeiLabel = new QLabel(textOf(app, ui_text::ImeiLabel), this);
    imeiLabel->setBuddy(imei_);
    auto* aliasLabel = new QLabel(textOf(app, ui_text::AliasLabel), this);
    aliasLabel->setBuddy(aliasField_);
    imei_->setAccessibleName(imeiLabel->text());
    aliasField_->setAccessibleName(aliasLabel->text());
    form->addRow(imeiLabel, imei_);
    form->addRow(aliasLabel, aliasField_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(textOf(app, ui_text::OkLabel));
    buttons->button(QDialogButtonBox::Cancel)->setText(textOf(app, ui_text::CancelLabel));
    connect(buttons, &QDialogButtonBox::accepted, this, &IMEIAliasDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    aliasField_->setFocus();
}

void IMEIAliasDialog::accept() {
    alias_ = resultAlias(aliasField_->text(), alias_);
    QDialog::accept();
}

QString IMEIAliasDialog::resultAlias(const QString& typed, const QString& previous) {
    QString alias = typed.trimmed();
    if (alias.size() > kMaxAliasLength) {
        alias.truncate(kMaxAliasLength);
    }
    if (!alias.isEmpty() && alias.back().isHighSurrogate()) {
        alias.chop(1);  // half of a character cut at the limit
    }
    alias = alias.trimmed();
    return alias.isEmpty() ? previous : alias;
}
