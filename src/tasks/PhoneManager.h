#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "charsets/PhoneMaker.h"
#include "common/Event.h"
#include "common/ExportStatistics.h"
#include "common/IContactExportSink.h"
#include "common/IExportInterruptionSink.h"
#include "common/IExportSettings.h"
#include "common/IPHBGetStoragesSink.h"
#include "common/IPhoneGetCharsetsSink.h"
#include "common/StopKind.h"
#include "common/StorageKind.h"
#include "export/ExportFileOutcome.h"
#include "export/OutputFormat.h"
#include "tasks/ModemLease.h"

class CSVExportManager;
class OutputFile;
class ExportStatisticsMap;
class StatisticsProxy;
class TaskExecutorThread;

// The one object through which the user interface drives the selected phone. It leases the
// phone's modem, keeps the export settings, and runs every request as a task on its own worker
// thread, one at a time and in the order asked: the storage and charset queries, and exports of
// one or more storages into one CSV file. Results come back through the sinks, which are called
// on the worker thread.
//
// Every operation is called on the user-interface thread. After a storage's export ended with
// a write error the user did not retry, or with a stop, the worker thread has ended: requests
// made later are never answered, and a new PhoneManager is needed for the phone.
class PhoneManager final : public IExportSettings {
public:
    // Leases the port with priority 1, switches the phone into mode 2 (blocks for at least one
    // second) and starts the worker thread. Throws serial_comm::SerialPortException: code 0
    // when the port cannot be had (openError() then carries the errno of the failed open), or
    // the port's errno when the phone fails during the mode switch; the lease is given back.
    // A phone of another maker (otherMaker, as the probe found it) has no such modes: it is sent
    // no mode command at all, and construction does not wait. Its queries, the charset
    // selection and the reading of its storages then go by the habits of other makers' phones
    // (PhoneMaker::Other).
    PhoneManager(const std::u16string& portName, bool extendedPhonebook, bool otherMaker = false);

    // Opens the continue gate, closes the port (so that a transfer in progress fails at once),
    // stops and joins the worker, deletes what the exports used, then gives the modem back.
    ~PhoneManager() override;

    PhoneManager(const PhoneManager&) = delete;
    PhoneManager& operator=(const PhoneManager&) = delete;

    // Whose phone it is, as given at construction.
    PhoneMaker maker() const { return maker_; }

    void setCharset(const std::u16string& name);
    void setPath(const std::u16string& path);
    // OutputFormat::GoogleCsv, OutlookCsv or VCard; any other value writes no file at all.
    void setFormat(OutputFormat format);
    // The phone's IMEI as it reported it, which names the UIDs of the vCards (it is not written
    // into the file); empty, as at the start, when it told none.
    void setImei(const std::u16string& imei);
    // output_charset::Ucs2, Utf8 or Ascii.
    void setOutputCharset(std::int32_t outputCharset);

    // Queues the storages query; the sink must outlive the task (it hears at most once).
    void requestStorages(IPHBGetStoragesSink& sink);
    // Queues the charsets query; the sink must outlive the task. It may never hear anything.
    // It hears the charsets the program can read from a phone of this maker
    // (readableCharsets), from which chooseExportCharset(offered, maker()) picks.
    void requestCharsets(IPhoneGetCharsetsSink& sink);

    // Prepares the output file for path() in format() and outputCharset(), then queues the
    // charset selection and one export task per storage kind, in the order given; the
    // statistics start afresh. A file already at path() is not touched until finishExport():
    // the rows go into a working file beside it (see OutputFile). Throws FileAccessException
    // when the file cannot be created, and then changes nothing. To be called only while no
    // export of this manager is queued or running; both sinks must live until the export has
    // reported its end. An export that is never finished leaves the old file as it was.
    void startExport(const std::vector<StorageKind>& storages, const std::u16string& charsetName,
                     IContactExportSink& exportSink, IExportInterruptionSink& interruptionSink);

    // Ends the current export's output, once it has reported its end (every storage finished,
    // or one finished with a write error or a stop): when at least one contact was written or
    // every storage completed, the new file takes the place of the one at path() (Saved);
    // otherwise the working file is removed and a file at path() stays as it was (Unchanged).
    // NoFile when no export was started or its layout writes no file. Throws
    // FileAccessException when the new file cannot be put in place; the old one then stays,
    // and finishExport may be called again. Later calls give the same outcome.
    ExportFileOutcome finishExport();

    // Closes the continue gate: the export waits before its next block or contact.
    void pause();
    // Opens the continue gate.
    void resume();
    // Asks the worker to stop. StopKind::ByUser lets the running export notice at its next
    // block or contact; any other kind first closes the port, so that a transfer in progress
    // fails at once (use it when the phone was found unplugged).
    void stop(StopKind kind);

    // The statistics of a storage in the current export; all fields zero (result None) when
    // there is none: no export yet, a storage not exported, or one not started.
    ExportStatistics exportStatistics(StorageKind storageKind) const;

    // Closes the port (the phone has been unplugged); nothing else changes.
    void closePort();

    // IExportSettings: copies of the values set above.
    std::u16string charset() const override;
    std::u16string path() const override;
    OutputFormat format() const override;
    std::int32_t outputCharset() const override;
    bool extendedPhonebook() const override;

private:
    // Declared first, so that it is given back last.
    ModemLease lease_;

    // The settings are written on the user-interface thread and read by the worker.
    mutable std::mutex settingsMutex_;
    std::u16string charsetName_;
    std::u16string path_;
    std::u16string imei_;
    OutputFormat format_;
    std::int32_t outputCharset_;
    const bool extendedPhonebook_;
    const PhoneMaker maker_;

    // Open (signalled) while exports may proceed.
    synchronization::Event continueGate_;
    // The current export's output: its file (declared first, so that the writer has closed it
    // before an unfinished working file is removed), the writer, and the storages exported.
    std::unique_ptr<OutputFile> outputFile_;
    std::unique_ptr<CSVExportManager> csvExportManager_;
    std::vector<StorageKind> exportStorages_;
    std::unique_ptr<ExportStatisticsMap> statistics_;
    std::vector<std::unique_ptr<StatisticsProxy>> proxies_;
    // The phone's mode as last known: what AT+MODE? reported, "0" after the switch through
    // mode 0; "2" for another maker's phone, which is not asked.
    std::string phoneMode_;
    // Declared last, so that its tasks are gone before anything they use.
    std::unique_ptr<TaskExecutorThread> executor_;
};
