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
#include "ui/IWizardSheet.h"

namespace {

namespace text_id {
constexpr std::uint32_t Intro = 10201;
constexpr std::uint32_t Caption = 10202;
constexpr std::uint32_t Heading = 10235;
constexpr std::uint32_t Phone = 10236;           // %1: the phone's display name
constexpr std::uint32_t Charset = 10238;         // %1: the charset name
constexpr std::uint32_t StorageHeading = 10239;  // %1: the storage's name
constexpr std::uint32_t SimName = 10240;
constexpr std::uint32_t MemoryName = 10241;
constexpr std::uint32_t NotChosen = 10242;
constexpr std::uint32_t Completed = 10243;
constexpr std::uint32_t Failed = 10244;
constexpr std::uint32_t Cancelled = 10245;
// %1 the status, %2 contacts written, %3 entries read, %4 entries the phone reported
constexpr std::uint32_t Counts = 10246;
constexpr std::uint32_t WriteError = 10263;
constexpr std::uint32_t OutputFile = 10272;
constexpr std::uint32_t Hint = 10296;
}  // namespace text_id

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::u16string decimal(std::int32_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

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
    intro->setText(text(text_id::Intro));

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
    outputFileLabel->setText(text(text_id::OutputFile));
    outputFileLabel->setWordWrap(false);
    pathLine_ = summaryLabel(QStringLiteral("pathLine"));
    // A long path breaks after a "/" rather than widening the wizard.
    pathLine_->setWordWrap(true);

    auto* hint = summaryLabel(QStringLiteral("hintLabel"));
    hint->setText(text(text_id::Hint));

    auto* pathRow = new QHBoxLayout;
    // One blank between the label and the path, as in the other lines ("Phone: Z3").
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
    sheet().setCaption(text(text_id::Caption));
    sheet().refreshButtonLabels();
    if (app().noStorageRemaining() && !app().deviceName().empty()) {
        fillSummary();
        app().releaseDevice();
    }
    sheet().setWizardButtons(IWizardSheet::BackButton);
    return true;
}

std::u16string CWizardCompletion::shortenPath(const std::u16string& path, std::size_t limit) {
    constexpr std::u16string_view kEllipsis = u"...";
    const std::size_t length = path.size();
    if (length <= limit || limit <= kEllipsis.size()) {
        return path;
    }
    const std::size_t slash = path.rfind(u'/');
    std::size_t tailStart = slash == std::u16string::npos ? 0 : slash;
    const std::size_t removed = length - limit + kEllipsis.size();
    std::size_t headLength = 0;
    if (tailStart >= removed) {
        headLength = tailStart - removed;
    } else {
        // The file name alone is too long: its end only.
        tailStart = length - (limit - kEllipsis.size());
    }
    if (headLength > 0 && isHighSurrogate(path[headLength - 1])) {
        --headLength;
    }
    if (tailStart < length && isLowSurrogate(path[tailStart])) {
        ++tailStart;
    }
    std::u16string shown = path.substr(0, headLength);
    shown += kEllipsis;
    shown += path.substr(tailStart);
    return shown;
}

std::uint32_t CWizardCompletion::statusTextId(ExportResult result) {
    switch (result) {
        case ExportResult::None:
        case ExportResult::Cancelled:
            return text_id::Cancelled;
        case ExportResult::Completed:
            return text_id::Completed;
        case ExportResult::WriteError:
            return text_id::WriteError;
        case ExportResult::Failed:
        case ExportResult::Disconnected:
            break;
    }
    return text_id::Failed;
}

std::u16string CWizardCompletion::storageLine(const AppContext& app, StorageKind storageKind,
                                              bool chosen, const ExportStatistics& statistics) {
    const std::u16string name =
        app.text(storageKind == StorageKind::Memory ? text_id::MemoryName : text_id::SimName);
    std::u16string line =
        formatText(app.text(text_id::StorageHeading), {std::u16string_view(name)});
    line += u' ';
    if (!chosen) {
        return line + app.text(text_id::NotChosen);
    }
    const std::vector<std::u16string> arguments{
        app.text(statusTextId(statistics.result)), decimal(statistics.contactsWritten),
        decimal(statistics.entriesRead), decimal(statistics.entriesTotal)};
    return line + formatText(app.text(text_id::Counts), arguments);
}

void CWizardCompletion::fillSummary() {
    AppContext& context = app();
    heading_->setText(text(text_id::Heading));
    const std::u16string name = context.deviceName();
    phoneLine_->setText(QString::fromStdU16String(
        formatText(context.text(text_id::Phone), {std::u16string_view(name)})));
    memoryLine_->setText(QString::fromStdU16String(
        storageLine(context, StorageKind::Memory, context.deviceMemorySelected(),
                    context.exportStatistics(StorageKind::Memory))));
    simLine_->setText(
        QString::fromStdU16String(storageLine(context, StorageKind::Sim, context.simSelected(),
                                              context.exportStatistics(StorageKind::Sim))));
    const std::u16string path = context.outputPath();
    pathLine_->setText(QString::fromStdU16String(shortenPath(path)));
    pathLine_->setToolTip(QString::fromStdU16String(path));
    const std::u16string charset = context.charsetName();
    charsetLine_->setText(QString::fromStdU16String(
        formatText(context.text(text_id::Charset), {std::u16string_view(charset)})));
}
