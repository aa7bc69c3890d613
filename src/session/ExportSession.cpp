#include "session/ExportSession.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "charsets/TextCodec.h"
#include "export/FileAccessException.h"
#include "tasks/PhoneManager.h"

namespace {

struct StorageRun {
    StorageKind kind = StorageKind::Unknown;
    ExportResult result = ExportResult::None;
    std::int32_t places = 0;
    std::int32_t placesRead = 0;
    int portError = 0;
    bool simLocked = false;
    bool finished = false;
    ExportStatistics statistics;  // taken when it finished
};

// A report for the listener, run on the front end's thread.
using Report = std::function<void(IExportSessionListener&)>;

}  // namespace

struct ExportSession::Shared {
    mutable std::mutex mutex;
    // The export, changed by the worker's reports and the front end's controls.
    PhoneManager* phone = nullptr;  // null: no export, or the phone was released
    ExportPlan plan;
    std::vector<StorageRun> storages;
    std::size_t current = 0;  // the storage being exported
    bool running = false;
    bool stopped = false;
    // The write-error question: its reaction, whether it waits for an answer, and whether
    // questions are given up at once.
    std::unique_ptr<IExportInterruptionReaction> reaction;
    bool questionPending = false;
    std::uint64_t question = 0;
    bool refusing = true;
    Poster post;
    std::uint64_t generation = 0;  // one per start; reports of an earlier export are dropped

    // Only on the front end's thread.
    IExportSessionListener* listener = nullptr;
    bool fileSettled = false;
    FileState file = FileState::NotCreated;

    // Hands reports to the front end; called without the lock.
    static void send(const std::shared_ptr<Shared>& shared, const Poster& post,
                     std::uint64_t generation, std::vector<Report> reports) {
        if (!post || reports.empty()) {
            return;
        }
        post([weak = std::weak_ptr<Shared>(shared), generation, reports = std::move(reports)] {
            const std::shared_ptr<Shared> self = weak.lock();
            for (const Report& report : reports) {
                // A report may end the front end's interest (it detaches), so each one looks.
                if (!self || self->generation != generation || self->listener == nullptr) {
                    return;
                }
                report(*self->listener);
            }
        });
    }

    // Applies change to the export when one runs, under the lock, and hands the reports it
    // returns to the front end. A report of a worker whose export has ended, or whose phone
    // was released, changes nothing.
    static void whileRunning(const std::shared_ptr<Shared>& shared,
                             const std::function<std::vector<Report>(Shared&)>& change) {
        Poster post;
        std::uint64_t generation = 0;
        std::vector<Report> reports;
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->phone == nullptr || !shared->running) {
                return;
            }
            reports = change(*shared);
            post = shared->post;
            generation = shared->generation;
        }
        send(shared, post, generation, std::move(reports));
    }

    // The reports of a storage's end and, when it ends the export, of the storages it leaves
    // unread and of the end. Under the lock.
    std::vector<Report> finishCurrentLocked(ExportResult result) {
        std::vector<Report> reports;
        StorageRun& run = storages[current];
        run.result = result;
        run.finished = true;
        if (phone != nullptr) {
            run.statistics = phone->exportStatistics(run.kind);
        }
        reports.push_back([kind = run.kind, result](IExportSessionListener& to) {
            to.onStorageFinished(kind, result);
        });
        ++current;
        // A write error given up on, or a stop, ends the worker and so the whole export.
        if (current < storages.size() && result != ExportResult::WriteError &&
            result != ExportResult::Cancelled) {
            return reports;
        }
        for (; current < storages.size(); ++current) {
            storages[current].finished = true;
            reports.push_back([kind = storages[current].kind](IExportSessionListener& to) {
                to.onStorageFinished(kind, ExportResult::Cancelled);
            });
        }
        running = false;
        reports.push_back([](IExportSessionListener& to) { to.onExportEnded(); });
        return reports;
    }

    // Gives up the question waiting, and every later one. Under the lock.
    void refuseLocked() {
        refusing = true;
        if (questionPending) {
            questionPending = false;
            reaction->abort();
        }
    }
};

ExportSession::ExportSession() : shared_(std::make_shared<Shared>()) {}

ExportSession::~ExportSession() {
    const std::lock_guard lock(shared_->mutex);
    shared_->refuseLocked();
    shared_->post = nullptr;
}

void ExportSession::start(PhoneManager& phone, const ExportPlan& plan,
                          IExportSessionListener& listener, Poster post) {
    Shared& shared = *shared_;
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(shared.mutex);
        shared.refuseLocked();
        generation = ++shared.generation;
        shared.phone = &phone;
        shared.plan = plan;
        shared.storages.clear();
        for (const StorageKind kind : plan.storages) {
            StorageRun run;
            run.kind = kind;
            shared.storages.push_back(run);
        }
        shared.current = 0;
        shared.running = !plan.storages.empty();
        shared.stopped = false;
        shared.refusing = false;
        shared.post = post;
        shared.listener = &listener;
        shared.fileSettled = false;
    }
    phone.setPath(plan.path);
    phone.setFormat(plan.layout);
    phone.setOutputCharset(plan.outputCharset);
    phone.setImei(plan.imei);
    try {
        phone.startExport(plan.storages, plan.phoneCharset, *this, *this);
    } catch (...) {
        // Nothing was queued: no report can come.
        const std::lock_guard lock(shared.mutex);
        shared.phone = nullptr;
        shared.running = false;
        shared.refusing = true;
        shared.post = nullptr;
        shared.listener = nullptr;
        throw;
    }
    if (plan.storages.empty()) {
        Shared::send(shared_, post, generation,
                     {[](IExportSessionListener& l) { l.onExportEnded(); }});
    }
}

bool ExportSession::running() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->running;
}

void ExportSession::pause() {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->phone != nullptr) {
        shared_->phone->pause();
    }
}

void ExportSession::resume() {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->phone != nullptr) {
        shared_->phone->resume();
    }
}

void ExportSession::stop() {
    const std::lock_guard lock(shared_->mutex);
    PhoneManager* phone = shared_->phone;
    if (phone == nullptr) {
        return;
    }
    shared_->stopped = true;
    if (!shared_->running) {
        return;
    }
    phone->pause();
    phone->stop(StopKind::ByUser);
    shared_->refuseLocked();
    phone->resume();
}

bool ExportSession::answerWriteError(bool retry) {
    const std::lock_guard lock(shared_->mutex);
    if (!shared_->questionPending) {
        return false;
    }
    shared_->questionPending = false;
    if (retry) {
        shared_->reaction->retry();
    } else {
        shared_->reaction->abort();
    }
    return true;
}

bool ExportSession::writeErrorPending() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->questionPending;
}

FileState ExportSession::finishFile(const std::function<bool(const FileProblem&)>& askRetry) {
    return settleFile(true, askRetry);
}

FileState ExportSession::settleFile(bool ask,
                                    const std::function<bool(const FileProblem&)>& askRetry) {
    Shared& shared = *shared_;
    PhoneManager* phone = nullptr;
    std::u16string path;
    {
        const std::lock_guard lock(shared.mutex);
        phone = shared.phone;
        path = shared.plan.path;
    }
    if (shared.fileSettled || phone == nullptr) {
        return shared.file;
    }
    for (;;) {
        try {
            if (phone->finishExport() == ExportFileOutcome::Saved) {
                shared.file = FileState::Saved;
            } else {
                std::error_code error;
                shared.file = std::filesystem::exists(text_codec::toUtf8(path), error)
                                  ? FileState::LeftAsItWas
                                  : FileState::NotCreated;
            }
            break;
        } catch (const FileAccessException& failure) {
            if (!ask || !askRetry ||
                !askRetry(FileProblem{failure.code(), failure.existingFile()})) {
                shared.file = FileState::NotReplaced;
                break;
            }
        }
    }
    shared.fileSettled = true;
    return shared.file;
}

ExportOutcome ExportSession::outcome() const {
    const Shared& shared = *shared_;
    const std::lock_guard lock(shared.mutex);
    ExportOutcome outcome;
    outcome.path = shared.plan.path;
    outcome.phoneCharset = shared.plan.phoneCharset;
    outcome.outputCharset = shared.plan.outputCharset;
    outcome.layout = shared.plan.layout;
    outcome.stopped = shared.stopped;
    outcome.file = shared.file;
    std::vector<StorageKind> kinds{StorageKind::Memory, StorageKind::Sim};
    for (const StorageRun& run : shared.storages) {
        if (run.kind != StorageKind::Memory && run.kind != StorageKind::Sim) {
            kinds.push_back(run.kind);
        }
    }
    for (const StorageKind kind : kinds) {
        StorageOutcome storage;
        storage.kind = kind;
        for (const StorageRun& run : shared.storages) {
            if (run.kind != kind) {
                continue;
            }
            storage.chosen = true;
            storage.result = run.result;
            storage.places = run.places;
            storage.placesRead = run.placesRead;
            storage.portError = run.portError;
            storage.cause = run.simLocked ? causes::Cause::SimLocked : causes::Cause::None;
            storage.statistics = run.finished || shared.phone == nullptr
                                     ? run.statistics
                                     : shared.phone->exportStatistics(kind);
        }
        outcome.storages.push_back(storage);
    }
    return outcome;
}

void ExportSession::detach() {
    const std::lock_guard lock(shared_->mutex);
    shared_->refuseLocked();
    shared_->post = nullptr;
    shared_->listener = nullptr;
}

void ExportSession::release() {
    settleFile(false, nullptr);
    const std::lock_guard lock(shared_->mutex);
    shared_->refuseLocked();
    shared_->post = nullptr;
    shared_->listener = nullptr;
    // Statistics of a storage still running are taken now: the phone's go with it.
    for (std::size_t i = shared_->current; i < shared_->storages.size(); ++i) {
        StorageRun& run = shared_->storages[i];
        if (shared_->phone != nullptr && !run.finished) {
            run.statistics = shared_->phone->exportStatistics(run.kind);
        }
    }
    shared_->phone = nullptr;
    shared_->running = false;
}

void ExportSession::onExportStarted(StorageKind storage, std::int32_t /*usedEntries*/,
                                    std::int32_t indexCount) {
    Shared::whileRunning(shared_, [storage, indexCount](Shared& shared) {
        StorageRun& run = shared.storages[shared.current];
        run.places = indexCount;
        run.placesRead = 0;
        return std::vector<Report>{[storage, indexCount](IExportSessionListener& listener) {
            listener.onStorageStarted(storage, indexCount);
        }};
    });
}

void ExportSession::onExportProgress(std::int32_t /*entries*/, std::int32_t position) {
    Shared::whileRunning(shared_, [position](Shared& shared) {
        shared.storages[shared.current].placesRead = position;
        return std::vector<Report>{
            [position](IExportSessionListener& listener) { listener.onStorageProgress(position); }};
    });
}

void ExportSession::onPortFailed(int code) {
    Shared::whileRunning(shared_, [code](Shared& shared) {
        shared.storages[shared.current].portError = code;
        return std::vector<Report>{};
    });
}

void ExportSession::onSimLocked() {
    Shared::whileRunning(shared_, [](Shared& shared) {
        shared.storages[shared.current].simLocked = true;
        return std::vector<Report>{};
    });
}

void ExportSession::onExportFinished(ExportResult result) {
    Shared::whileRunning(shared_,
                         [result](Shared& shared) { return shared.finishCurrentLocked(result); });
}

void ExportSession::onExportInterrupted(bool accessError,
                                        std::unique_ptr<IExportInterruptionReaction> reaction) {
    std::unique_ptr<IExportInterruptionReaction> previous;  // answered; deleted unlocked
    Poster post;
    std::uint64_t generation = 0;
    std::uint64_t question = 0;
    WriteFailure failure{accessError, reaction != nullptr ? reaction->failureCode() : 0};
    if (failure.code == 0 && !accessError) {
        failure.code = ENOSPC;
    }
    {
        const std::lock_guard lock(shared_->mutex);
        Shared& shared = *shared_;
        previous = std::move(shared.reaction);
        shared.reaction = std::move(reaction);
        shared.questionPending = shared.reaction != nullptr;
        if (shared.questionPending && (shared.refusing || !shared.post)) {
            shared.questionPending = false;
            shared.reaction->abort();
        }
        if (!shared.questionPending) {
            return;
        }
        question = ++shared.question;
        post = shared.post;
        generation = shared.generation;
    }
    // Asked only while this very question still waits: a stop may have given it up meanwhile.
    Shared::send(shared_, post, generation,
                 {[weak = std::weak_ptr<Shared>(shared_), question,
                   failure](IExportSessionListener& listener) {
                     const std::shared_ptr<Shared> shared = weak.lock();
                     bool waiting = false;
                     if (shared) {
                         const std::lock_guard lock(shared->mutex);
                         waiting = shared->questionPending && shared->question == question;
                     }
                     if (waiting) {
                         listener.onWriteFailed(failure);
                     }
                 }});
}
