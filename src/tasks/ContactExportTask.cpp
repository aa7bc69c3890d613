#include "tasks/ContactExportTask.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>

#include "common/ExportResult.h"
#include "common/IContactExportSink.h"
#include "common/IExportSettings.h"
#include "common/StorageKind.h"
#include "export/CSVExportManager.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "phonebook/CPBRCommand.h"
#include "phonebook/ContactBuilder.h"
#include "phonebook/MPBRERequest.h"
#include "phonebook/MPGRStateMachine.h"
#include "serial_comm/AtCommand.h"
#include "serial_comm/AtProtocol.h"
#include "serial_comm/AtValues.h"
#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/FinalResult.h"
#include "serial_comm/IndexRange.h"
#include "serial_comm/MPBRESupportedRangeCommand.h"
#include "serial_comm/ResponseParser.h"
#include "serial_comm/SerialPortException.h"
#include "serial_comm/SimStatus.h"
#include "serial_comm/StorageTable.h"
#include "tasks/ContactBuilderSinkImpl.h"

namespace {

constexpr std::string_view kGroupCommand = "+MPGR";
constexpr std::string_view kStandardReadCommand = "+CPBR";

[[noreturn]] void fail(ExportResult result) {
    throw ITask::TerminationException(static_cast<std::int32_t>(result));
}

// A count or position for the sinks, which take 32 bits.
std::int32_t clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::string rangeText(std::int64_t first, std::int64_t last) {
    return std::to_string(first) + "," + std::to_string(last);
}

}  // namespace

ContactExportTask::ContactExportTask(const IExportSettings& settings,
                                     synchronization::Event& stopEvent,
                                     synchronization::Event& continueGate,
                                     serial_comm::Modem& modem, StorageKind storageKind,
                                     CSVExportManager& csvExportManager,
                                     IContactExportSink& exportSink, PhoneMaker maker)
    : settings_(&settings),
      stopEvent_(&stopEvent),
      continueGate_(&continueGate),
      modem_(&modem),
      csvExportManager_(&csvExportManager),
      exportSink_(&exportSink),
      storageKind_(storageKind),
      maker_(maker) {}

void ContactExportTask::run() {
    try {
        selectStorage();
        readFill();
        if (settings_->extendedPhonebook())
            readGroups();
        readRange();
        firstIndex_ = nextIndex_;
        exportSink_->onExportStarted(StorageKind::Unknown, usedEntries_,
                                     clamp32(lastIndex_ - firstIndex_ + 1));
        started_ = true;
        readEntries();
        exportSink_->onExportFinished(ExportResult::Completed);
    } catch (const TerminationException& e) {
        if (!started_)
            exportSink_->onExportStarted(StorageKind::Unknown, 0, 0);
        exportSink_->onExportFinished(static_cast<ExportResult>(e.code));
        if (e.code == static_cast<std::int32_t>(ExportResult::WriteError) ||
            e.code == static_cast<std::int32_t>(ExportResult::Cancelled))
            throw;
    } catch (const serial_comm::SerialPortException& e) {
        exportSink_->onPortFailed(e.code());
        exportSink_->onExportFinished(e.phoneGone() ? ExportResult::Disconnected
                                                    : ExportResult::Failed);
    } catch (const std::exception&) {
        // Out of memory, most likely: the storage failed, and the user interface still hears
        // its end instead of waiting for it for good.
        if (!started_)
            exportSink_->onExportStarted(StorageKind::Unknown, 0, 0);
        exportSink_->onExportFinished(ExportResult::Failed);
    }
}

void ContactExportTask::cancel() {
    exportSink_->onExportStarted(StorageKind::Unknown, usedEntries_, 0);
    exportSink_->onExportFinished(ExportResult::Cancelled);
}

void ContactExportTask::ask(const std::string& command, std::string& answer) {
    if (serial_comm::exchange(*modem_, command, answer) == 0)
        fail(ExportResult::Failed);
}

void ContactExportTask::failFor(const std::string& answer) {
    if (serial_comm::asksForSimPin(serial_comm::finalResultOf(answer)))
        exportSink_->onSimLocked();
    fail(ExportResult::Failed);
}

void ContactExportTask::selectStorage() {
    const auto name = serial_comm::storageNameOf(storageKind_);
    if (!name)
        fail(ExportResult::Failed);
    std::string answer;
    for (int attempt = 0; attempt < kSelectAttempts; ++attempt) {
        answer.clear();
        if (serial_comm::selectStorage(*modem_, *name, maker_, answer) > 0 &&
            serial_comm::holdsOk(answer))
            return;
        // Another maker's SIM that waits for its PIN stays locked until the person acts.
        if (maker_ == PhoneMaker::Other &&
            serial_comm::asksForSimPin(serial_comm::finalResultOf(answer)))
            failFor(answer);
        // The phone may still be busy (a SIM being read at power-on): try again a second
        // later, unless a stop came meanwhile, which ends the wait at once.
        if (stopEvent_->wait(kSelectRetryPause))
            fail(ExportResult::Failed);
    }
    failFor(answer);
}

void ContactExportTask::readFill() {
    std::string answer;
    ask(serial_comm::CPBSCommand::readCommand(), answer);
    serial_comm::CPBSCommand command;
    command.parse(answer);
    const serial_comm::StorageFill fill = serial_comm::storageFill(command.items());
    usedEntries_ = std::max(fill.used, 0);
    totalEntries_ = std::max(fill.total, 0);
}

void ContactExportTask::readGroups() {
    std::string answer;
    ask(serial_comm::indexRangeCommand(kGroupCommand), answer);
    serial_comm::IndexRange range;
    if (!serial_comm::readIndexRange(answer, kGroupCommand, range))
        return;  // no group table: every contact stays in the default group
    ask(serial_comm::makeCommand(kGroupCommand, rangeText(range.first, range.last),
                                 serial_comm::at::kSetSeparator),
        answer);
    MPGRStateMachine machine(groupNames_, settings_->charset());
    serial_comm::parseResponse(machine, answer, kGroupCommand);
}

void ContactExportTask::readRange() {
    std::string answer;
    serial_comm::IndexRange range;
    if (settings_->extendedPhonebook()) {
        ask(serial_comm::MPBRESupportedRangeCommand::testCommand(), answer);
        serial_comm::MPBRESupportedRangeCommand command;
        command.parse(answer);
        if (!command.found())
            fail(ExportResult::Failed);
        range = command.range();
    } else {
        ask(serial_comm::indexRangeCommand(kStandardReadCommand), answer);
        if (!serial_comm::readIndexRange(answer, kStandardReadCommand, range))
            failFor(answer);
    }
    nextIndex_ = range.first;
    lastIndex_ = range.last;
}

void ContactExportTask::readEntries() {
    const std::u16string charsetName = settings_->charset();
    std::unique_ptr<ContactRequest> request;
    if (settings_->extendedPhonebook()) {
        request = std::make_unique<MPBRERequest>(charsetName, &groupNames_,
                                                 storageKind_ == StorageKind::Sim);
    } else {
        request = std::make_unique<CPBRCommand>(charsetName, maker_);
    }
    readBlocks(*request);
}

void ContactExportTask::readBlocks(const ContactRequest& request) {
    ContactBuilderSinkImpl contactSink(*csvExportManager_, *stopEvent_, *continueGate_,
                                       *exportSink_);
    ContactBuilder builder;
    builder.setStorage(storageKind_);
    builder.addSink(&contactSink);

    std::string answer;
    while (nextIndex_ <= lastIndex_) {
        const std::int64_t blockEnd = std::min(lastIndex_, nextIndex_ + kBlockSize - 1);
        const std::string command = request.makeReadCommand(rangeText(nextIndex_, blockEnd));
        position_ = blockEnd - firstIndex_ + 1;
        nextIndex_ = blockEnd + 1;

        continueGate_->wait();
        if (stopEvent_->isSignalled())
            fail(ExportResult::Cancelled);

        ask(command, answer);
        try {
            request.parse(answer, builder);
        } catch (const DiskSpaceException&) {
            fail(ExportResult::WriteError);
        } catch (const FileAccessException&) {
            fail(ExportResult::WriteError);
        }
        exportSink_->onExportProgress(0, clamp32(position_));
    }
}
