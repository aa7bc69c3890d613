#pragma once

#include <cstdint>

#include "common/Event.h"
#include "phonebook/IContactBuilderSink.h"

class CSVExportManager;
class IContactExportSink;

// The export task's receiver of finished contacts: waits while the export is paused, gives up
// when a stop was asked for, writes the contact and reports the running entry total. Lives
// while the entries of one storage are read.
class ContactBuilderSinkImpl final : public IContactBuilderSink {
public:
    // Nothing is owned; everything must outlive the sink.
    ContactBuilderSinkImpl(CSVExportManager& csvExportManager, synchronization::Event& stopEvent,
                           synchronization::Event& continueGate, IContactExportSink& exportSink);

    // Throws ITask::TerminationException with ExportResult::Cancelled when the stop event is
    // signalled; DiskSpaceException or FileAccessException when the contact could not be
    // written and the user gave up.
    void onContact(const IContact& contact) override;

    // The phonebook entries of the contacts written so far.
    std::int32_t entryTotal() const { return entryTotal_; }

private:
    CSVExportManager* csvExportManager_;
    synchronization::Event* stopEvent_;
    synchronization::Event* continueGate_;
    IContactExportSink* exportSink_;
    std::int32_t entryTotal_ = 0;
};
