#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "common/ExportResult.h"
#include "common/StorageKind.h"
#include "pages/ExportingTexts.h"
#include "session/IExportSessionListener.h"
#include "ui/IUserDialogs.h"
#include "ui/UiDispatcher.h"
#include "ui/WizardPage.h"

class QLabel;
class QProgressBar;

// The exporting page. Becoming active starts the export of the chosen storages (a file that
// cannot be created asks Retry or Cancel; Cancel goes back to the output path page). Each
// storage gets the progress bar afresh and its name above it. A failed write asks Retry or
// Cancel while the phone's worker waits for the answer. Every file question names the cause of
// the failure and its way out (ExportingTexts). Cancel pauses the export and asks
// whether to stop it; it never closes the wizard. A phone lost during the export is reported
// once. When every storage has ended, the page presses Next by itself.
//
// The export session (AppContext::exportSession) decides; the page shows. Its reports come to
// the UI thread through the page's dispatcher, in the order sent. While the page shows a
// question, the reports that arrive wait until it is answered, so that the wizard never moves
// on behind an open question.
class CWizardExporting final : public WizardPage, public IExportSessionListener {
    Q_OBJECT

public:
    CWizardExporting(AppContext& app, IWizardSheet& sheet, IUserDialogs& dialogs,
                     QWidget* parent = nullptr);
    // An export still running reports to this page: it is detached from the session (a
    // write-error question still open is given up), and the phone is released (its worker
    // joined) before the page goes.
    ~CWizardExporting() override;

    bool onSetActive() override;
    // The export is running; Back is never offered.
    Transition onWizardBack() override { return Transition::stay(); }
    // Asks whether to stop the export (it waits meanwhile); never lets the wizard close.
    bool onQueryCancel() override;
    void onDeviceRemoved() override;

    // From the start of an export until every storage has ended.
    bool exportRunning() const { return running_; }

    // The session's reports, on the UI thread.
    void onStorageStarted(StorageKind storage, std::int32_t places) override;
    void onStorageProgress(std::int32_t placesRead) override;
    void onStorageFinished(StorageKind storage, ExportResult result) override;
    void onWriteFailed(const WriteFailure& failure) override;
    void onExportEnded() override;

private:
    void storageStarted(StorageKind kind, std::int32_t places);
    void writeFailed(const WriteFailure& failure);
    void warnDisconnected();
    // Every storage has ended: on to the completion page.
    void exportEnded();
    // Puts the exported file in place, asking Retry/Cancel when that fails.
    void finishFile();
    MessageAnswer ask(const MessageRequest& request);
    // A file error's question, with Retry and Cancel.
    MessageAnswer askRetry(const ExportingTexts::Question& question);
    // Handles a report now, or after the question that is open.
    void deliver(std::function<void()> report);
    void deliverWaiting();
    bool isCurrent() const;

    QLabel* heading_ = nullptr;
    QLabel* storageLabel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    bool running_ = false;
    std::deque<std::function<void()>> waiting_;
    int questionsOpen_ = 0;
    bool delivering_ = false;
    UiDispatcher dispatcher_;
};
