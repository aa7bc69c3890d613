#include "ui/CWizardExporting.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "common/StorageKind.h"
#include "export/FileAccessException.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"

namespace {

namespace text_id {
constexpr std::uint32_t Caption = 10209;
constexpr std::uint32_t Heading = 10210;
constexpr std::uint32_t StopCaption = 10218;
constexpr std::uint32_t StopQuestion = 10219;
constexpr std::uint32_t PhoneDisconnected = 10261;  // %1: the phone's display name
constexpr std::uint32_t DisconnectedCaption = 10262;
constexpr std::uint32_t WarningCaption = 10264;
constexpr std::uint32_t CannotWrite = 10265;
constexpr std::uint32_t DiskFull = 10268;
constexpr std::uint32_t DiskFullCaption = 10269;
constexpr std::uint32_t ExportingMemory = 10298;
constexpr std::uint32_t ExportingSim = 10299;
}  // namespace text_id

}  // namespace

CWizardExporting::CWizardExporting(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                                   QWidget* parent)
    : WizardPage(WizardPageId::Exporting, 6, app, sheet, dialogs, parent) {
    setObjectName(QStringLiteral("exportingPage"));

    heading_ = new QLabel(text(text_id::Heading));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);

    storageLabel_ = new QLabel;
    storageLabel_->setObjectName(QStringLiteral("storageLabel"));
    storageLabel_->setTextFormat(Qt::PlainText);
    storageLabel_->setWordWrap(true);
    storageLabel_->hide();

    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("exportProgress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setAccessibleName(heading_->text());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addSpacing(18);
    layout->addWidget(storageLabel_);
    layout->addWidget(progress_);
    layout->addStretch(1);
}

CWizardExporting::~CWizardExporting() {
    // From here on a report is dropped where it is posted. A question that never got its answer
    // gives up when its reaction goes, which releases a worker that waits for it; only then
    // can the worker be joined.
    dispatcher_.close();
    waiting_.clear();
    reaction_.reset();
    if (running_) {
        app().releaseDevice();
    }
}

bool CWizardExporting::onSetActive() {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    storageLabel_->clear();
    storageLabel_->hide();
    sheet().setCaption(text(text_id::Caption));
    sheet().setWizardButtons(IWizardSheet::NoButton);
    if (!startExport()) {
        sheet().switchToPage(WizardPageId::OutputPath);
        return true;
    }
    running_ = true;
    if (app().noStorageRemaining()) {
        // Nothing to wait for (no storage to export, or no phone): no report will come.
        running_ = false;
        sheet().pressNext();
    }
    return true;
}

bool CWizardExporting::onQueryCancel() {
    if (running_) {
        app().pauseExport();
        const MessageAnswer answer = ask({text(text_id::StopCaption), text(text_id::StopQuestion),
                                          MessageIcon::Question, MessageButtons::YesNo});
        if (answer == MessageAnswer::Yes) {
            // The export ends through its own reports, with "cancelled".
            app().stopExport(StopKind::ByUser);
        }
        app().resumeExport();
        deliverWaiting();
    }
    return false;
}

void CWizardExporting::onDeviceRemoved() {
    deliver([this] {
        if (app().takeExportStarted()) {
            warnDisconnected();
        }
    });
}

std::uint32_t CWizardExporting::storageTextId(StorageKind storageKind) {
    switch (storageKind) {
        case StorageKind::Memory:
            return text_id::ExportingMemory;
        case StorageKind::Sim:
            return text_id::ExportingSim;
        default:
            return 0;
    }
}

CWizardExporting::Question CWizardExporting::writeErrorQuestion(bool accessError) {
    return accessError ? Question{text_id::WarningCaption, text_id::CannotWrite}
                       : Question{text_id::DiskFullCaption, text_id::DiskFull};
}

void CWizardExporting::onExportStarted(StorageKind storage, std::int32_t /*usedEntries*/,
                                       std::int32_t indexCount) {
    dispatcher_.post([this, storage, indexCount] {
        deliver([this, storage, indexCount] { storageStarted(storage, indexCount); });
    });
}

void CWizardExporting::onExportProgress(std::int32_t /*entries*/, std::int32_t position) {
    dispatcher_.post(
        [this, position] { deliver([this, position] { progress_->setValue(position); }); });
}

void CWizardExporting::onExportFinished(ExportResult result) {
    dispatcher_.post([this, result] { deliver([this, result] { storageFinished(result); }); });
}

void CWizardExporting::onExportInterrupted(bool accessError,
                                           std::unique_ptr<IExportInterruptionReaction> reaction) {
    // Shared, so that the posted call can be copied; dropped unanswered (the page went), it
    // gives up and the worker goes on.
    std::shared_ptr<IExportInterruptionReaction> shared(std::move(reaction));
    dispatcher_.post([this, accessError, shared] {
        deliver([this, accessError, shared] { writeFailed(accessError, shared); });
    });
}

bool CWizardExporting::startExport() {
    for (;;) {
        try {
            app().startExport(*this, *this);
            return true;
        } catch (const FileAccessException&) {
            const MessageAnswer answer =
                ask({text(text_id::WarningCaption), text(text_id::CannotWrite),
                     MessageIcon::Warning, MessageButtons::RetryCancel});
            if (answer != MessageAnswer::Retry) {
                return false;
            }
        }
    }
}

void CWizardExporting::storageStarted(StorageKind kind, std::int32_t indexCount) {
    // A storage without index positions still gets a determinate bar (a range of 0 to 0 would
    // make it a busy indicator).
    progress_->setRange(0, std::max(indexCount, 1));
    progress_->setValue(0);
    const std::uint32_t id = storageTextId(kind);
    storageLabel_->setText(id != 0 ? text(id) : QString());
    storageLabel_->show();
    progress_->setAccessibleName(storageLabel_->text());
}

void CWizardExporting::storageFinished(ExportResult result) {
    const bool disconnected = result == ExportResult::Disconnected && app().takeExportStarted();
    app().storageFinished(result);
    const bool ended = app().noStorageRemaining();
    // The warning first: the wizard moves on once it has been read.
    if (disconnected) {
        warnDisconnected();
    }
    if (ended && running_) {
        exportEnded();
    }
}

void CWizardExporting::writeFailed(bool accessError,
                                   std::shared_ptr<IExportInterruptionReaction> reaction) {
    reaction_ = std::move(reaction);
    const Question question = writeErrorQuestion(accessError);
    const MessageAnswer answer = ask({text(question.captionId), text(question.textId),
                                      MessageIcon::Warning, MessageButtons::RetryCancel});
    if (answer == MessageAnswer::Retry) {
        reaction_->retry();
    } else {
        reaction_->abort();
    }
}

void CWizardExporting::warnDisconnected() {
    const std::u16string name = app().deviceName();
    ask({text(text_id::DisconnectedCaption),
         QString::fromStdU16String(
             formatText(app().text(text_id::PhoneDisconnected), {std::u16string_view(name)})),
         MessageIcon::Warning, MessageButtons::Ok});
}

void CWizardExporting::exportEnded() {
    running_ = false;
    finishFile();
    if (isCurrent()) {
        sheet().pressNext();
    }
}

void CWizardExporting::finishFile() {
    // The export wrote into a working file; it takes the output file's place only now. When
    // that fails the user may retry (after freeing space, say) or give up, which leaves the
    // file that was there as it was.
    for (;;) {
        try {
            app().finishExport();
            return;
        } catch (const FileAccessException&) {
            const Question question = writeErrorQuestion(true);
            if (ask({text(question.captionId), text(question.textId), MessageIcon::Warning,
                     MessageButtons::RetryCancel}) != MessageAnswer::Retry) {
                return;
            }
        }
    }
}

MessageAnswer CWizardExporting::ask(const MessageRequest& request) {
    ++questionsOpen_;
    const MessageAnswer answer = dialogs().showMessage(this, request);
    --questionsOpen_;
    return answer;
}

void CWizardExporting::deliver(std::function<void()> report) {
    waiting_.push_back(std::move(report));
    deliverWaiting();
}

void CWizardExporting::deliverWaiting() {
    if (delivering_ || questionsOpen_ > 0) {
        return;
    }
    delivering_ = true;
    while (!waiting_.empty() && questionsOpen_ == 0) {
        const std::function<void()> report = std::move(waiting_.front());
        waiting_.pop_front();
        report();
    }
    delivering_ = false;
}

bool CWizardExporting::isCurrent() const {
    return sheet().currentPageId() == pageId();
}
