#include "tasks/PhoneManager.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "charsets/CharsetChoice.h"
#include "common/ExportResult.h"
#include "export/CSVExportManager.h"
#include "export/OutputFile.h"
#include "serial_comm/ModeSwitch.h"
#include "tasks/ContactExportTask.h"
#include "tasks/ExportStatisticsMap.h"
#include "tasks/PHBGetStoragesTask.h"
#include "tasks/PhoneGetCharsetsTask.h"
#include "tasks/PhoneSetCharsetTask.h"
#include "tasks/StatisticsProxy.h"
#include "tasks/TaskExecutorThread.h"

namespace {

// The phone manager holds the port against the phone probe, which leases with priority 0.
constexpr std::int32_t kLeasePriority = 1;

}  // namespace

PhoneManager::PhoneManager(const std::u16string& portName, bool extendedPhonebook, bool otherMaker)
    : lease_(portName, kLeasePriority),
      format_(OutputFormat::GoogleCsv),
      outputCharset_(output_charset::Ucs2),
      extendedPhonebook_(extendedPhonebook),
      maker_(otherMaker ? PhoneMaker::Other : PhoneMaker::Own),
      continueGate_(synchronization::Event::Mode::ManualReset, true),
      phoneMode_(serial_comm::kReadingMode),
      executor_(std::make_unique<TaskExecutorThread>()) {
    // A failure from here on destroys the members already made, which gives the lease back.
    if (maker_ == PhoneMaker::Own) {
        const serial_comm::ModeSwitchOutcome outcome =
            serial_comm::switchToReadingMode(lease_.modem(), serial_comm::ModeAnswers::Ignored);
        phoneMode_ =
            outcome.wentThroughIdle ? std::string(serial_comm::kIdleMode) : outcome.modeRead;
    }
    if (!executor_->start())
        throw std::system_error(EAGAIN, std::generic_category(),
                                "cannot start the phone's worker thread");
}

PhoneManager::~PhoneManager() {
    // No task starts any more; the one running sees the stop at its next block or contact,
    // also when it was paused, or its transfer in progress fails on the closed port.
    executor_->stopEvent().signal();
    continueGate_.signal();
    lease_->port().close();
    executor_.reset();
    proxies_.clear();
    statistics_.reset();
    csvExportManager_.reset();  // closes the output file
    outputFile_.reset();        // removes a working file that was never finished
}

void PhoneManager::setCharset(const std::u16string& name) {
    std::lock_guard lock(settingsMutex_);
    charsetName_ = name;
}

void PhoneManager::setPath(const std::u16string& path) {
    std::lock_guard lock(settingsMutex_);
    path_ = path;
}

void PhoneManager::setFormat(OutputFormat format) {
    std::lock_guard lock(settingsMutex_);
    format_ = format;
}

void PhoneManager::setImei(const std::u16string& imei) {
    std::lock_guard lock(settingsMutex_);
    imei_ = imei;
}

void PhoneManager::setOutputCharset(std::int32_t outputCharset) {
    std::lock_guard lock(settingsMutex_);
    outputCharset_ = outputCharset;
}

void PhoneManager::requestStorages(IPHBGetStoragesSink& sink) {
    executor_->queue().push(std::make_unique<PHBGetStoragesTask>(lease_.modem(), sink, maker_));
}

void PhoneManager::requestCharsets(IPhoneGetCharsetsSink& sink) {
    executor_->queue().push(std::make_unique<PhoneGetCharsetsTask>(lease_.modem(), sink, maker_));
}

void PhoneManager::startExport(const std::vector<StorageKind>& storages,
                               const std::u16string& charsetName, IContactExportSink& exportSink,
                               IExportInterruptionSink& interruptionSink) {
    // Everything is made before anything changes, so that a failure (the file above all)
    // leaves the previous export's state as it was.
    const OutputFormat layout = format();
    std::unique_ptr<OutputFile> outputFile;
    if (writesFile(layout))
        outputFile = std::make_unique<OutputFile>(path());
    std::u16string imei;
    {
        std::lock_guard lock(settingsMutex_);
        imei = imei_;
    }
    auto csvExportManager = std::make_unique<CSVExportManager>(
        layout, outputFile ? outputFile->writePath() : path(), outputCharset(), imei);
    auto statistics = std::make_unique<ExportStatisticsMap>();
    auto setCharsetTask =
        std::make_unique<PhoneSetCharsetTask>(charsetName, lease_.modem(), maker_);
    std::vector<std::unique_ptr<StatisticsProxy>> proxies;
    std::vector<std::unique_ptr<ITask>> exportTasks;
    proxies.reserve(storages.size());
    exportTasks.reserve(storages.size());
    for (const StorageKind kind : storages) {
        proxies.push_back(std::make_unique<StatisticsProxy>(*statistics, kind, exportSink));
        exportTasks.push_back(std::make_unique<ContactExportTask>(
            *this, executor_->stopEvent(), continueGate_, lease_.modem(), kind, *csvExportManager,
            *proxies.back(), maker_));
    }
    proxies_.reserve(proxies_.size() + proxies.size());

    csvExportManager_ = std::move(csvExportManager);
    outputFile_ = std::move(outputFile);
    exportStorages_ = storages;
    statistics_ = std::move(statistics);
    csvExportManager_->setInterruptionSink(&interruptionSink);
    executor_->queue().push(std::move(setCharsetTask));
    setCharset(charsetName);
    for (auto& task : exportTasks)
        executor_->queue().push(std::move(task));
    for (auto& proxy : proxies)
        proxies_.push_back(std::move(proxy));
}

ExportFileOutcome PhoneManager::finishExport() {
    if (!outputFile_)
        return ExportFileOutcome::NoFile;
    if (outputFile_->committed())
        return ExportFileOutcome::Saved;
    bool written = false;
    bool completed = true;
    for (const StorageKind kind : exportStorages_) {
        const ExportStatistics statistics = exportStatistics(kind);
        written = written || statistics.contactsWritten > 0;
        completed = completed && statistics.result == ExportResult::Completed;
    }
    if (!written && !completed) {
        outputFile_->discard();
        return ExportFileOutcome::Unchanged;
    }
    outputFile_->commit();
    return ExportFileOutcome::Saved;
}

void PhoneManager::pause() {
    continueGate_.reset();
}

void PhoneManager::resume() {
    continueGate_.signal();
}

void PhoneManager::stop(StopKind kind) {
    if (kind != StopKind::ByUser)
        lease_->port().close();
    executor_->stopEvent().signal();
}

ExportStatistics PhoneManager::exportStatistics(StorageKind storageKind) const {
    if (!statistics_)
        return ExportStatistics{};
    return statistics_->find(storageKind).value_or(ExportStatistics{});
}

void PhoneManager::closePort() {
    lease_->port().close();
}

std::u16string PhoneManager::charset() const {
    std::lock_guard lock(settingsMutex_);
    return charsetName_;
}

std::u16string PhoneManager::path() const {
    std::lock_guard lock(settingsMutex_);
    return path_;
}

OutputFormat PhoneManager::format() const {
    std::lock_guard lock(settingsMutex_);
    return format_;
}

std::int32_t PhoneManager::outputCharset() const {
    std::lock_guard lock(settingsMutex_);
    return outputCharset_;
}

bool PhoneManager::extendedPhonebook() const {
    return extendedPhonebook_;
}
