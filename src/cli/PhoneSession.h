#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliEvent.h"
#include "cli/Console.h"
#include "cli/EventQueue.h"
#include "cli/ExitStatus.h"
#include "cli/QueueingSinks.h"
#include "cli/SignalWatcher.h"
#include "common/StorageKind.h"
#include "devices/DeviceInfoEx.h"

class PhoneManager;

// One phone as contaxio-cli uses it, step by step on the main thread: probed (model, IMEI,
// support level), opened through the phone manager, asked for its charsets and storages. Each
// step returns Success, or tells the person why it cannot go on and returns the status to exit
// with. The phone manager's reports arrive through events().
class PhoneSession {
public:
    // How long the charsets and storages queries may take together before the phone counts as
    // not answering (each unanswered command costs the modem two seconds of silence).
    static constexpr std::chrono::milliseconds kQueryTimeout{8000};

    PhoneSession(std::string port, Console& console, const SignalWatcher& signals);
    // Answers a write-error question still waiting with abort, then closes the phone manager
    // (which stops its worker and releases the port).
    ~PhoneSession();
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
    EventQueue<CliEvent>& events() { return events_; }
    QueueingSinks& sinks() { return sinks_; }

private:
    // Tells why the port failed and gives the status for it.
    ExitStatus portFailure(int code, int openError);

    const std::string port_;
    Console& console_;
    const SignalWatcher& signals_;
    DEVICE_INFO_EX device_;
    std::vector<std::u16string> charsets_;
    std::vector<StorageKind> storages_;
    EventQueue<CliEvent> events_;
    QueueingSinks sinks_;
    std::unique_ptr<PhoneManager> manager_;  // last: it reports to the sinks above
};
