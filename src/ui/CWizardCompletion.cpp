#include "ui/CWizardCompletion.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cstddef>
#include <string_view>
#include <vector>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "pages/CompletionSummary.h"
#include "ui/IWizardSheet.h"

namespace {

QLabel* summaryLabel(const QString& objectName) {
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CWizardCompletion::CWizardCompletion(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                                     QWidget* parent)
    : WizardPage(WizardPageId::Completion, 0, app, sheet, dialogs, parent) {
    setObjectName(QStringLiteral("completionPage"));

    auto* intro = summaryLabel(QStringLiteral("introLabel"));
    intro->setText(text(ui_text::CompletionIntro));

    // Part of the summary: empty until a summary is shown.
    heading_ = summaryLabel(QStringLiteral("summaryHeading"));
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);

    phoneLine_ = summaryLabel(QStringLiteral("phoneLine"));
    memoryLine_ = summaryLabel(QStringLiteral("memoryLine"));
    simLine_ = summaryLabel(QStringLiteral("simLine"));
    charsetLine_ = summaryLabel(QStringLiteral("charsetLine"));

    auto* outputFileLabel = summaryLabel(QStringLiteral("outputFileLabel"));
    outputFileLabel->setText(text(ui_text::OutputFile));
    outputFileLabel->setWordWrap(false);
    pathLine_ = summaryLabel(QStringLiteral("pathLine"));
    // A long path breaks after a "/" rather than widening the wizard.
    pathLine_->setWordWrap(true);

    auto* hint = summaryLabel(QStringLiteral("hintLabel"));
    hint->setText(text(ui_text::CompletionHint));

    auto* pathRow = new QHBoxLayout;
    // One blank between the label and the path, as in the other lines ("ui_text::SummaryPhone:
    // Z3").
    pathRow->setSpacing(outputFileLabel->fontMetrics().horizontalAdvance(u' '));
    pathRow->addWidget(outputFileLabel, 0, Qt::AlignTop);
    pathRow->addWidget(pathLine_, 1);

    auto* summary = new QVBoxLayout;
    summary->setContentsMargins(12, 0, 0, 0);
    summary->addWidget(phoneLine_);
    summary->addWidget(memoryLine_);
    summary->addWidget(simLine_);
    summary->addLayout(pathRow);
    summary->addWidget(charsetLine_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(12);
    layout->addWidget(heading_);
    layout->addLayout(summary);
    layout->addStretch(1);
    layout->addWidget(hint);
}

bool CWizardCompletion::onSetActive() {
    sheet().setCaption(text(ui_text::CompletionCaption));
    sheet().refreshButtonLabels();
    if (app().noStorageRemaining() && !app().deviceName().empty()) {
        fillSummary();
        app().releaseDevice();
    }
    sheet().setWizardButtons(IWizardSheet::BackButton);
    return true;
}

void CWizardCompletion::fillSummary() {
    AppContext& context = app();
    heading_->setText(text(ui_text::SummaryHeading));
    const std::u16string name = context.deviceName();
    phoneLine_->setText(QString::fromStdU16String(
        formatText(context.text(ui_text::SummaryPhone), {std::u16string_view(name)})));
    const ExportOutcome outcome = context.exportSession().outcome();
    const auto lineOf = [&](StorageKind kind) {
        const StorageOutcome* storage = outcome.storage(kind);
        return QString::fromStdU16String(CompletionSummary::storageLine(
            context, kind, storage != nullptr && storage->chosen,
            storage != nullptr ? storage->statistics : ExportStatistics{},
            storage != nullptr ? storage->cause : causes::Cause::None));
    };
    memoryLine_->setText(lineOf(StorageKind::Memory));
    simLine_->setText(lineOf(StorageKind::Sim));
    const std::u16string path = outcome.path;
    pathLine_->setText(QString::fromStdU16String(CompletionSummary::shortenPath(path)));
    pathLine_->setToolTip(QString::fromStdU16String(path));
    charsetLine_->setText(
        QString::fromStdU16String(CompletionSummary::charsetLine(context, outcome)));
}
