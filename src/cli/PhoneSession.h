#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/SignalWatcher.h"
#include "common/IPHBGetStoragesSink.h"
#include "common/IPhoneGetCharsetsSink.h"
#include "common/StorageKind.h"
#include "devices/DeviceInfoEx.h"
#include "session/ExportSession.h"
#include "tasks/SyncQueue.h"

class PhoneManager;

// One phone as contaxio-cli uses it, step by step on the main thread: probed (model, IMEI,
// support level), opened through the phone manager, asked for its charsets and storages, and
// exported through its export session. Each step returns Success, or tells the person why it
// cannot go on and returns the status to exit with. What the phone's worker reports becomes a
// call in a queue that the main thread runs (runNext).
class PhoneSession final : private IPHBGetStoragesSink, private IPhoneGetCharsetsSink {
public:
    // How long the charsets and storages queries may take together before the phone counts as
    // not answering (each unanswered command costs the modem two seconds of silence).
    static constexpr std::chrono::milliseconds kQueryTimeout{8000};

    PhoneSession(std::string port, Console& console, const SignalWatcher& signals);
    // Releases the export (a write-error question still waiting is given up), then closes the
    // phone manager (which stops its worker and releases the port).
    ~PhoneSession() override;
    PhoneSession(const PhoneSession&) = delete;
    PhoneSession& operator=(const PhoneSession&) = delete;

    // Probes the phone. Success when it can be read (state 4 or 5); device() then holds what
    // the probe found, also after a failure.
    ExitStatus probe();
    // Opens the phone through the phone manager (after probe()).
    ExitStatus open();
    // Asks for the charsets and storages and waits for both, at most timeout.
    ExitStatus query(std::chrono::milliseconds timeout = kQueryTimeout);

    const std::string& port() const { return port_; }
    const DEVICE_INFO_EX& device() const { return device_; }
    std::string model() const;
    std::string imei() const;
    const std::vector<std::u16string>& charsets() const { return charsets_; }
    const std::vector<StorageKind>& storages() const { return storages_; }

    PhoneManager& manager() { return *manager_; }
    ExportSession& exportSession() { return export_; }
    // Hands a call to the main thread; from any thread.
    ExportSession::Poster poster();
    // Runs the oldest call handed over, waiting at most timeout for one; false when none came.
    bool runNext(std::chrono::milliseconds timeout);

private:
    // Tells why the port failed and gives the status for it.
    ExitStatus portFailure(int code, int openError);

    // The answers to the queries, on the worker thread: handed to the main thread.
    void onStorages(const std::vector<StorageKind>& storages) override;
    void onCharsets(const std::vector<std::u16string>& charsets) override;

    const std::string port_;
    Console& console_;
    const SignalWatcher& signals_;
    DEVICE_INFO_EX device_;
    std::vector<std::u16string> charsets_;
    std::vector<StorageKind> storages_;
    bool haveCharsets_ = false;
    bool haveStorages_ = false;
    synchronization::SyncQueue<std::function<void()>> calls_;
    ExportSession export_;
    std::unique_ptr<PhoneManager> manager_;  // last: it reports to the sinks above
};
