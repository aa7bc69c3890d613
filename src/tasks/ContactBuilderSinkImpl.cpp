#include "tasks/ContactBuilderSinkImpl.h"

#include <cstdint>
#include <limits>

#include "common/ExportResult.h"
#include "common/IContactExportSink.h"
#include "export/CSVExportManager.h"
#include "tasks/ITask.h"

ContactBuilderSinkImpl::ContactBuilderSinkImpl(CSVExportManager& csvExportManager,
                                               synchronization::Event& stopEvent,
                                               synchronization::Event& continueGate,
                                               IContactExportSink& exportSink)
    : csvExportManager_(&csvExportManager),
      stopEvent_(&stopEvent),
      continueGate_(&continueGate),
      exportSink_(&exportSink) {}

void ContactBuilderSinkImpl::onContact(const IContact& contact) {
    continueGate_->wait();
    if (stopEvent_->isSignalled())
        throw ITask::TerminationException(static_cast<std::int32_t>(ExportResult::Cancelled));
    csvExportManager_->writeContact(contact);
    // The total saturates rather than wrap, whatever entry counts a phone makes up.
    const std::int64_t total = static_cast<std::int64_t>(entryTotal_) + contact.entryCount();
    entryTotal_ = total > std::numeric_limits<std::int32_t>::max()
                      ? std::numeric_limits<std::int32_t>::max()
                      : static_cast<std::int32_t>(total < 0 ? 0 : total);
    exportSink_->onExportProgress(entryTotal_, 0);
}
