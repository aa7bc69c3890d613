#include "ui/CWizardPathSelection.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "export/OutputFormat.h"
#include "pages/OutputChoice.h"
#include "ui/DocumentsFolder.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"

namespace {

QString withTrailingSlash(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// "~" and "~/..." from the home folder; anything else as typed.
QString expandedFolder(const QString& folder) {
    if (folder == QStringLiteral("~")) {
        return QDir::homePath();
    }
    if (folder.startsWith(QStringLiteral("~/"))) {
        return QDir::homePath() + folder.mid(1);
    }
    return folder;
}

}  // namespace

CWizardPathSelection::CWizardPathSelection(AppContext& app, IWizardSheet& sheet,
                                           IUserDialogs& dialogs, QWidget* parent)
    : CWizardPathSelection(app, sheet, dialogs, &DocumentsFolder::locate, parent) {}

CWizardPathSelection::CWizardPathSelection(AppContext& app, IWizardSheet& sheet,
                                           IUserDialogs& dialogs,
                                           const std::function<QString()>& documentsFolder,
                                           QWidget* parent)
    : WizardPage(WizardPageId::OutputPath, 7, app, sheet, dialogs, parent) {
    setObjectName(QStringLiteral("outputPathPage"));

    instruction_ = new QLabel(text(ui_text::PathInstruction));
    instruction_->setTextFormat(Qt::PlainText);
    instruction_->setWordWrap(true);

    folderEdit_ = new QLineEdit;
    folderEdit_->setObjectName(QStringLiteral("folderEdit"));
    auto* folderLabel = new QLabel(text(ui_text::FolderLabel));
    folderLabel->setBuddy(folderEdit_);
    folderEdit_->setAccessibleName(folderLabel->text());

    fileNameEdit_ = new QLineEdit;
    fileNameEdit_->setObjectName(QStringLiteral("fileNameEdit"));
    auto* fileNameLabel = new QLabel(text(ui_text::FileNameLabel));
    fileNameLabel->setBuddy(fileNameEdit_);
    fileNameEdit_->setAccessibleName(fileNameLabel->text());

    formatBox_ = new QComboBox;
    formatBox_->setObjectName(QStringLiteral("formatBox"));
    for (const OutputChoice::Format& format : OutputChoice::formats()) {
        formatBox_->addItem(text(format.nameId), static_cast<int>(format.format));
    }
    formatBox_->setCurrentIndex(
        static_cast<int>(OutputChoice::positionOf(app.outputFormatAndCharset().first)));
    auto* formatLabel = new QLabel(text(ui_text::FormatLabel));
    formatLabel->setBuddy(formatBox_);
    formatBox_->setAccessibleName(formatLabel->text());
    connect(formatBox_, &QComboBox::currentIndexChanged, this, [this] { formatChosen(); });

    browseButton_ = new QPushButton(text(ui_text::Browse));
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    browseButton_->setToolTip(text(ui_text::BrowseTip));
    connect(browseButton_, &QPushButton::clicked, this, [this] { browse(); });

    auto* fields = new QGridLayout;
    fields->addWidget(folderLabel, 0, 0);
    fields->addWidget(folderEdit_, 0, 1);
    fields->addWidget(browseButton_, 0, 2);
    fields->addWidget(fileNameLabel, 1, 0);
    fields->addWidget(fileNameEdit_, 1, 1);
    fields->addWidget(formatLabel, 2, 0);
    fields->addWidget(formatBox_, 2, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addSpacing(12);
    layout->addLayout(fields);
    layout->addStretch(1);

    const QString stored = QString::fromStdU16String(app.outputPath());
    if (!stored.contains(u'/')) {
        // The first run (or a path without a folder): the documents folder is proposed and
        // taken as the output path at once.
        const QString documents = documentsFolder ? documentsFolder() : QString();
        if (!documents.isEmpty()) {
            folderEdit_->setText(withTrailingSlash(documents));
            fileNameEdit_->setText(
                QString::fromStdU16String(OutputChoice::proposedFileName(format())));
            checkPath(false);
        }
    } else {
        const SplitPath split = splitPath(stored);
        folderEdit_->setText(split.folder);
        fileNameEdit_->setText(split.fileName);
    }
}

bool CWizardPathSelection::onSetActive() {
    sheet().setCaption(text(ui_text::PathCaption));
    sheet().setWizardButtons(IWizardSheet::BackButton | IWizardSheet::NextButton);
    return true;
}

WizardPage::Transition CWizardPathSelection::onWizardNext() {
    return checkPath(true) ? Transition::step() : Transition::stay();
}

WizardPage::Transition CWizardPathSelection::onWizardBack() {
    checkPath(false);
    return Transition::jumpTo(WizardPageId::ContactsSource);
}

bool CWizardPathSelection::onQueryCancel() {
    checkPath(false);
    return true;
}

void CWizardPathSelection::onDeviceRemoved() {
    const std::u16string name = app().deviceName();
    dialogs().showMessage(
        this, {text(ui_text::UnpluggedCaption),
               QString::fromStdU16String(
                   formatText(app().text(ui_text::PhoneUnplugged), {std::u16string_view(name)})),
               MessageIcon::Warning, MessageButtons::Ok});
    sheet().switchToPage(WizardPageId::DeviceList);
}

bool CWizardPathSelection::checkPath(bool withQuestions) {
    const QString folder = folderEdit_->text();
    const QString fileName = fileNameEdit_->text();
    if (folder.isEmpty() || fileName.isEmpty()) {
        warn(ui_text::IncompleteCaption, ui_text::IncompletePath);
        folderEdit_->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const QString path = joinPath(folder, fileName);
    if (withQuestions) {
        const QFileInfo file(path);
        if (!file.exists()) {
            // The folder the file goes into: the folder field's, or deeper when the file name
            // names a subfolder.
            if (!QFileInfo(file.absolutePath()).isDir()) {
                warn(ui_text::WarningCaption, ui_text::FolderMissing);
                return false;
            }
        } else if (dialogs().showMessage(this, {text(ui_text::WarningCaption),
                                                text(ui_text::FileExists), MessageIcon::Warning,
                                                MessageButtons::OkCancel}) != MessageAnswer::Ok) {
            return false;
        }
    }
    app().setOutputPath(path.toStdU16String());
    return true;
}

void CWizardPathSelection::browse() {
    SaveFileRequest request;
    request.title = text(ui_text::SaveDialogTitle);
    const QString folder = expandedFolder(folderEdit_->text());
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        request.folder = folder;
    }
    request.fileName = fileNameEdit_->text();
    // The one type of the format chosen on the page.
    const OutputFormat chosenFormat = format();
    request.filters = {
        {text(OutputChoice::formats()[OutputChoice::positionOf(chosenFormat)].nameId),
         QString::fromStdU16String(OutputChoice::patternOf(chosenFormat))}};
    request.selectedFilter = 0;
    request.defaultSuffix =
        QString::fromStdU16String(std::u16string(OutputChoice::extensionOf(chosenFormat)));
    const std::optional<SaveFileAnswer> answer = dialogs().askSaveFile(this, request);
    if (!answer || answer->path.isEmpty()) {
        return;
    }
    storeFormat(chosenFormat);
    const QFileInfo chosen(answer->path);
    folderEdit_->setText(withTrailingSlash(chosen.path()));
    fileNameEdit_->setText(chosen.fileName());
}

OutputFormat CWizardPathSelection::format() const {
    return static_cast<OutputFormat>(formatBox_->currentData().toInt());
}

void CWizardPathSelection::formatChosen() {
    const OutputFormat chosen = format();
    storeFormat(chosen);
    fileNameEdit_->setText(QString::fromStdU16String(
        OutputChoice::fileNameFor(fileNameEdit_->text().toStdU16String(), chosen)));
}

void CWizardPathSelection::storeFormat(OutputFormat chosen) {
    const std::int32_t charset = app().outputFormatAndCharset().second;
    app().setOutputFormatAndCharset(chosen, charset);
}

QString CWizardPathSelection::joinPath(const QString& folder, const QString& fileName) {
    return withTrailingSlash(expandedFolder(folder)) + fileName;
}

CWizardPathSelection::SplitPath CWizardPathSelection::splitPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0) {
        return {QString(), path};
    }
    return {path.left(slash + 1), path.mid(slash + 1)};
}

void CWizardPathSelection::warn(std::uint32_t captionId, std::uint32_t textId) {
    dialogs().showMessage(
        this, {text(captionId), text(textId), MessageIcon::Warning, MessageButtons::Ok});
}
