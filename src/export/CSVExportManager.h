#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/IExportInterruptionSink.h"
#include "export/CSVWriter.h"
#include "export/IContact.h"
#include "export/OutputFormat.h"

// Writes the contacts of one export into its output file, in the chosen layout, with the
// header row once before the first contact. A failed write asks the interruption sink whether
// to retry and waits for the answer; the row is then written again, or the writer's exception
// (DiskSpaceException or FileAccessException) is thrown on.
class CSVExportManager {
public:
    // format: OutputFormat::GoogleCsv, OutlookCsv or VCard creates the file at once (throwing
    // FileAccessException when it cannot be created); any other value writes nothing and
    // leaves the path alone. outputCharset: an output_charset code (vCards are always UTF-8).
    // phoneImei: the phone's IMEI, which names the vCards' UIDs; empty when it told none.
    CSVExportManager(OutputFormat format, const std::u16string& path, std::int32_t outputCharset,
                     const std::u16string& phoneImei = {});
    virtual ~CSVExportManager();
    CSVExportManager(const CSVExportManager&) = delete;
    CSVExportManager& operator=(const CSVExportManager&) = delete;

    // The sink asked after a failed write (not owned); without one, failures are thrown on.
    void setInterruptionSink(IExportInterruptionSink* sink);

    // Writes one contact, on the worker thread. Throws DiskSpaceException or
    // FileAccessException when a write failed and the user did not choose to retry.
    void writeContact(const IContact& contact);

private:
    class WriteErrorReaction;

    // Asks the sink and waits for the answer; true to retry. failureCode: the errno.
    bool askRetry(bool accessError, int failureCode);

    OutputFormat format_;
    std::unique_ptr<CSVWriter> writer_;
    IExportInterruptionSink* interruptionSink_ = nullptr;
    bool headerWritten_ = false;
};
