#include "export/CSVExportManager.h"

#include <atomic>

#include "common/Event.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "export/GoogleCSVWriter.h"
#include "export/OutlookCSVWriter.h"
#include "export/OutputFormat.h"
#include "export/VCardWriter.h"

namespace {

// The answer to one write-error question, shared by the reaction (which the sink owns) and
// the worker thread waiting for it, so that neither outlives what it uses.
struct WriteErrorAnswer {
    std::atomic<bool> answered{false};
    bool retry = false;  // read only after the event was signalled
    synchronization::Event answeredEvent{synchronization::Event::Mode::AutoReset};

    // The first answer counts; later ones are ignored.
    void give(bool retryDecision) {
        if (!answered.exchange(true)) {
            retry = retryDecision;
            answeredEvent.signal();
        }
    }
};

std::unique_ptr<CSVWriter> makeWriter(OutputFormat format, const std::u16string& path,
                                      std::int32_t outputCharset, const std::u16string& imei) {
    switch (format) {
        case OutputFormat::GoogleCsv:
            return std::make_unique<GoogleCSVWriter>(path, outputCharset);
        case OutputFormat::OutlookCsv:
            return std::make_unique<OutlookCSVWriter>(path, outputCharset);
        case OutputFormat::VCard:
            return std::make_unique<VCardWriter>(path, imei);
        default:
            return nullptr;
    }
}

}  // namespace

class CSVExportManager::WriteErrorReaction final : public IExportInterruptionReaction {
public:
    WriteErrorReaction(std::shared_ptr<WriteErrorAnswer> answer, int failureCode)
        : answer_(std::move(answer)), failureCode_(failureCode) {}
    // A question dropped without an answer (its sink went away) gives up, so that the worker
    // thread is never left waiting for an answer that cannot come.
    ~WriteErrorReaction() override { answer_->give(false); }

    void retry() override { answer_->give(true); }
    void abort() override { answer_->give(false); }
    int failureCode() const override { return failureCode_; }

private:
    std::shared_ptr<WriteErrorAnswer> answer_;
    int failureCode_;
};

CSVExportManager::CSVExportManager(OutputFormat format, const std::u16string& path,
                                   std::int32_t outputCharset, const std::u16string& phoneImei)
    : format_(format), writer_(makeWriter(format, path, outputCharset, phoneImei)) {}

CSVExportManager::~CSVExportManager() = default;

void CSVExportManager::setInterruptionSink(IExportInterruptionSink* sink) {
    interruptionSink_ = sink;
}

bool CSVExportManager::askRetry(bool accessError, int failureCode) {
    if (interruptionSink_ == nullptr) {
        return false;
    }
    auto answer = std::make_shared<WriteErrorAnswer>();
    interruptionSink_->onExportInterrupted(
        accessError, std::make_unique<WriteErrorReaction>(answer, failureCode));
    answer->answeredEvent.wait();
    return answer->retry;
}

void CSVExportManager::writeContact(const IContact& contact) {
    if (!writer_) {
        return;
    }
    for (;;) {
        try {
            if (!headerWritten_) {
                writer_->writeHeader();
                headerWritten_ = true;
            }
            writer_->writeContact(contact);
            return;
        } catch (const DiskSpaceException& failure) {
            if (!askRetry(false, failure.code())) {
                throw;
            }
        } catch (const FileAccessException& failure) {
            if (!askRetry(true, failure.code())) {
                throw;
            }
        }
    }
}
