#include "ui/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/UiTextIds.h"
#include "ui/Artwork.h"

namespace {

constexpr int kIconSize = 64;
constexpr int kTextWidth = 380;

QString textOf(const AppContext& app, std::uint32_t id) {
    return QString::fromStdU16String(app.text(id));
}

QLabel* centredBlock(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(kTextWidth);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(const AppContext& app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(textOf(app, ui_text::AboutCaption));
    auto* layout = new QVBoxLayout(this);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QVBoxLayout(frame);
    inner->setSpacing(12);
    auto* icon = new QLabel(frame);
    icon->setPixmap(artwork::programIcon().pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignHCenter);
    inner->addWidget(icon);

    // The first block is the program's name and, on the lines below it, what it does: the
    // name in large type.
    const QString first = textOf(app, ui_text::AboutFirstBlock);
    const qsizetype lineEnd = first.indexOf(u'\n');
    name_ = centredBlock(first.left(lineEnd), frame);
    QFont heading = name_->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    heading.setBold(true);
    name_->setFont(heading);
    inner->addWidget(name_);
    first_ = centredBlock(lineEnd < 0 ? QString() : first.mid(lineEnd + 1), frame);
    first_->setVisible(!first_->text().isEmpty());
    inner->addWidget(first_);
    second_ = centredBlock(textOf(app, ui_text::AboutSecondBlock), frame);
    inner->addWidget(second_);
    layout->addWidget(frame);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    buttons->button(QDialogButtonBox::Ok)->setText(textOf(app, ui_text::OkLabel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
