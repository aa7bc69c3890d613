#pragma once

#include <functional>
#include <memory>

#include "common/IContactExportSink.h"
#include "common/IExportInterruptionSink.h"
#include "session/ExportOutcome.h"
#include "session/ExportPlan.h"
#include "session/IExportSessionListener.h"

class PhoneManager;

// One export as both front ends run it, from its start to the summary, with every decision
// made here: when the export has ended (every storage finished, or a write error given up on,
// or a stop), what each storage's outcome is, that a write-error question is asked once and
// its first answer taken, that a stop by the user never cuts a row, and what becomes of the
// output file.
//
// The session is the phone manager's export and interruption sink: those calls come on the
// phone's worker thread, change the session's state under its lock and hand a report to the
// front end's thread through the poster the front end supplies (the command line: a queue its
// main loop drains; the wizard: its UI dispatcher). There the reports reach the listener.
// Everything else is called on the front end's thread.
//
// The session must outlive the phone manager it exports from (its worker may report until it
// has been joined): the owner declares it first and calls release() before deleting the
// manager. One session serves one export after another.
class ExportSession final : public IContactExportSink, public IExportInterruptionSink {
public:
    // Hands a call over to the front end's thread, to run there later, in the order posted.
    using Poster = std::function<void(std::function<void()>)>;

    ExportSession();
    // Gives up a write-error question still waiting.
    ~ExportSession() override;
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // Gives the phone manager the plan's file, layout and charsets and starts the export of
    // its storages; the reports go to listener through post. Throws FileAccessException
    // (nothing is started, and start may be called again) when the output file cannot be
    // created. An export of no storage ends at once.
    void start(PhoneManager& phone, const ExportPlan& plan, IExportSessionListener& listener,
               Poster post);

    // From start until every storage has ended (or one ended the export).
    bool running() const;

    // The export waits before its next block or contact, or goes on.
    void pause();
    void resume();
    // The user's cancel: pauses the export, asks the worker to stop after the row it is
    // writing (StopKind::ByUser), gives up a write-error question waiting and every later one,
    // and resumes, so that the worker sees the stop. The export then ends through its reports,
    // as cancelled. After the export has ended it is only remembered (ExportOutcome::stopped).
    void stop();

    // The answer to the write-error question waiting; false (nothing happens) when none waits.
    bool answerWriteError(bool retry);
    bool writeErrorPending() const;

    // Once the export has ended: puts the exported file in the output file's place when at
    // least one contact was written or every storage completed, else leaves the file that is
    // there as it was. When the file cannot take its place, askRetry is asked (on this thread)
    // whether to try again; giving up leaves the old file (NotReplaced). Later calls give the
    // same state without asking.
    FileState finishFile(const std::function<bool(const FileProblem&)>& askRetry);

    // The summary of the last export (all storages not chosen before the first).
    ExportOutcome outcome() const;

    // The front end goes away: no more reports reach it, and a write-error question waiting,
    // and every later one, is given up. The export itself goes on.
    void detach();
    // The phone goes away: an export that was not finished is finished without asking (what
    // was written is kept), the front end is detached and the phone forgotten; reports that
    // still come are ignored. To be called before the phone manager is deleted.
    void release();

    // IContactExportSink and IExportInterruptionSink, on the phone's worker thread.
    void onExportStarted(StorageKind storage, std::int32_t usedEntries,
                         std::int32_t indexCount) override;
    void onExportProgress(std::int32_t entries, std::int32_t position) override;
    void onExportFinished(ExportResult result) override;
    void onPortFailed(int code) override;
    void onSimLocked() override;
    void onExportInterrupted(bool accessError,
                             std::unique_ptr<IExportInterruptionReaction> reaction) override;

private:
    struct Shared;

    FileState settleFile(bool ask, const std::function<bool(const FileProblem&)>& askRetry);

    std::shared_ptr<Shared> shared_;
};
