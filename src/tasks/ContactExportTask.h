#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "charsets/PhoneMaker.h"
#include "common/Event.h"
#include "common/StorageKind.h"
#include "phonebook/GroupTable.h"
#include "tasks/ITask.h"

class CSVExportManager;
class ContactRequest;
class IContactExportSink;
class IExportSettings;

namespace serial_comm {
class Modem;
}

// Exports one phonebook storage of the phone into the output file, on the phone's worker
// thread: selects the storage, reads its fill, the group names (extended phonebook only) and
// its index range, then reads the range in blocks of ten indexes and writes every contact.
//
// The export sink hears exactly one onExportFinished per run, with the ExportResult; before
// it, onExportStarted(Unknown, used entries, index count) once the range is known, or (Unknown, 0,
// 0) when the export fails earlier, except after a port failure, which reports only the finish. The
// continue gate is waited on and the stop event polled before every block and every contact.
// A write error the user did not retry (result 4) and a stop (result 5) end the worker thread
// by rethrowing ITask::TerminationException, so that no further storage is exported.
//
// The storage is selected in up to kSelectAttempts tries a second apart: a phone may still be
// reading its SIM. A phone of another maker whose selection is answered with an error asking for
// the SIM's PIN or PUK fails the storage at once (result 2): the person must unlock the SIM on
// the phone. The maker's phones keep their tries. Either way the sink hears onSimLocked before
// the end when the last answer to the selection, or to the range question, asked for the PIN.
// Other makers' phones are read with their habits (maker, see CPBRCommand) and selected as
// selectStorage does.
class ContactExportTask final : public ITask {
public:
    // Attempts at selecting the storage, and the pause after each one that failed.
    static constexpr int kSelectAttempts = 40;
    static constexpr std::chrono::milliseconds kSelectRetryPause{1000};
    // Phonebook indexes read per command.
    static constexpr std::int32_t kBlockSize = 10;

    // Nothing is owned; everything must outlive the task. Nothing is sent before run.
    ContactExportTask(const IExportSettings& settings, synchronization::Event& stopEvent,
                      synchronization::Event& continueGate, serial_comm::Modem& modem,
                      StorageKind storageKind, CSVExportManager& csvExportManager,
                      IContactExportSink& exportSink, PhoneMaker maker = PhoneMaker::Own);

    void run() override;

    // For a task discarded by a stop: reports the start (with no entries) and result 5.
    void cancel() override;

private:
    void selectStorage();
    void readFill();
    void readGroups();
    void readRange();
    void readEntries();
    void readBlocks(const ContactRequest& request);

    // Sends a command and collects its answer; fails the export with result 2 when the phone
    // says nothing.
    void ask(const std::string& command, std::string& answer);
    // Fails the export with result 2, telling the sink first when answer asked for the SIM's
    // PIN or PUK.
    [[noreturn]] void failFor(const std::string& answer);

    const IExportSettings* settings_;
    synchronization::Event* stopEvent_;
    synchronization::Event* continueGate_;
    serial_comm::Modem* modem_;
    CSVExportManager* csvExportManager_;
    IContactExportSink* exportSink_;
    // The range is walked in 64 bits: a phone may report any 32-bit bounds.
    std::int64_t nextIndex_ = 0;
    std::int64_t lastIndex_ = 0;
    StorageKind storageKind_;
    PhoneMaker maker_;
    std::int32_t usedEntries_ = 0;
    std::int32_t totalEntries_ = 0;
    std::int64_t firstIndex_ = 0;
    std::int64_t position_ = 0;
    bool started_ = false;
    GroupTable groupNames_;
};
