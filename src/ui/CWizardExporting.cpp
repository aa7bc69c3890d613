#include "ui/CWizardExporting.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "app/AppContext.h"
#include "app/TextFormat.h"
#include "app/UiTextIds.h"
#include "common/StorageKind.h"
#include "export/FileAccessException.h"
#include "pages/ExportingTexts.h"
#include "ui/IUserDialogs.h"
#include "ui/IWizardSheet.h"

CWizardExporting::CWizardExporting(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                                   QWidget* parent)
    : WizardPage(WizardPageId::Exporting, 6, app, sheet, dialogs, parent) {
    setObjectName(QStringLiteral("exportingPage"));

    heading_ = new QLabel(text(ui_text::ExportingHeading));
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
    // gives up, which releases a worker that waits for it; only then can the worker be joined.
    dispatcher_.close();
    waiting_.clear();
    app().exportSession().detach();
    if (running_) {
        app().releaseDevice();
    }
}

bool CWizardExporting::onSetActive() {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    storageLabel_->clear();
    storageLabel_->hide();
    sheet().setCaption(text(ui_text::ExportingCaption));
    sheet().setWizardButtons(IWizardSheet::NoButton);
    bool started = false;
    for (;;) {
        try {
            started = app().startExport(
                *this, [poster = dispatcher_.poster()](std::function<void()> call) {
                    poster.post(std::move(call));
                });
            break;
        } catch (const FileAccessException& failure) {
            const MessageAnswer answer = askRetry(
                ExportingTexts::fileQuestion(app(), {failure.code(), failure.existingFile()},
                                             ExportingTexts::FileStep::Start, app().outputPath()));
            if (answer != MessageAnswer::Retry) {
                sheet().switchToPage(WizardPageId::OutputPath);
                return true;
            }
        }
    }
    // Without a phone nothing is exported and no report will come.
    running_ = started;
    if (!started) {
        sheet().pressNext();
    }
    return true;
}

bool CWizardExporting::onQueryCancel() {
    if (running_) {
        app().pauseExport();
        const MessageAnswer answer = ask({text(ui_text::StopCaption), text(ui_text::StopQuestion),
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

void CWizardExporting::onStorageStarted(StorageKind storage, std::int32_t places) {
    deliver([this, storage, places] { storageStarted(storage, places); });
}

void CWizardExporting::onStorageProgress(std::int32_t placesRead) {
    deliver([this, placesRead] { progress_->setValue(placesRead); });
}

void CWizardExporting::onStorageFinished(StorageKind /*storage*/, ExportResult result) {
    deliver([this, result] {
        if (result == ExportResult::Disconnected && app().takeExportStarted()) {
            warnDisconnected();
        }
    });
}

void CWizardExporting::onWriteFailed(const WriteFailure& failure) {
    deliver([this, failure] { writeFailed(failure); });
}

void CWizardExporting::onExportEnded() {
    deliver([this] {
        if (running_) {
            exportEnded();
        }
    });
}

void CWizardExporting::storageStarted(StorageKind kind, std::int32_t places) {
    // A storage without index positions still gets a determinate bar (a range of 0 to 0 would
    // make it a busy indicator).
    progress_->setRange(0, std::max(places, 1));
    progress_->setValue(0);
    const std::uint32_t id = ExportingTexts::storageTextId(kind);
    storageLabel_->setText(id != 0 ? text(id) : QString());
    storageLabel_->show();
    progress_->setAccessibleName(storageLabel_->text());
}

void CWizardExporting::writeFailed(const WriteFailure& failure) {
    // A stop answered meanwhile may have given the question up.
    ExportSession& session = app().exportSession();
    if (!session.writeErrorPending()) {
        return;
    }
    const MessageAnswer answer =
        askRetry(ExportingTexts::writeErrorQuestion(app(), failure, app().outputPath()));
    session.answerWriteError(answer == MessageAnswer::Retry);
}

void CWizardExporting::warnDisconnected() {
    const std::u16string name = app().deviceName();
    ask({text(ui_text::UnpluggedCaption),
         QString::fromStdU16String(
             formatText(app().text(ui_text::PhoneDisconnected), {std::u16string_view(name)})),
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
    app().exportSession().finishFile([this](const FileProblem& problem) {
        return askRetry(ExportingTexts::fileQuestion(
                   app(), problem, ExportingTexts::FileStep::Finish, app().outputPath())) ==
               MessageAnswer::Retry;
    });
}

MessageAnswer CWizardExporting::askRetry(const ExportingTexts::Question& question) {
    return ask({QString::fromStdU16String(question.caption),
                QString::fromStdU16String(question.text), MessageIcon::Warning,
                MessageButtons::RetryCancel});
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
