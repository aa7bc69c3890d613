#include "cli/PhoneSession.h"

#include <utility>

#include "charsets/TextCodec.h"
#include "cli/AnyPortFilter.h"
#include "cli/UserMessages.h"
#include "devices/PhoneProbe.h"
#include "serial_comm/SerialPortException.h"
#include "tasks/PhoneManager.h"

PhoneSession::PhoneSession(std::string port, Console& console, const SignalWatcher& signals)
    : port_(std::move(port)), console_(console), signals_(signals) {}

PhoneSession::~PhoneSession() {
    export_.release();
    manager_.reset();
}

ExportSession::Poster PhoneSession::poster() {
    return [this](std::function<void()> call) { calls_.push(std::move(call)); };
}

bool PhoneSession::runNext(std::chrono::milliseconds timeout) {
    const std::function<void()> call = calls_.popWithin(timeout);
    if (!call) {
        return false;
    }
    call();
    return true;
}

void PhoneSession::onStorages(const std::vector<StorageKind>& storages) {
    calls_.push([this, storages] {
        storages_ = storages;
        haveStorages_ = true;
    });
}

void PhoneSession::onCharsets(const std::vector<std::u16string>& charsets) {
    calls_.push([this, charsets] {
        charsets_ = charsets;
        haveCharsets_ = true;
    });
}

std::string PhoneSession::model() const {
    return text_codec::toUtf8(device_.model);
}

std::string PhoneSession::imei() const {
    return text_codec::toUtf8(device_.imei);
}

ExitStatus PhoneSession::portFailure(int code, int openError) {
    if (code == 0) {
        console_.report(UserMessages::portNotOpened(port_, openError));
        return ExitStatus::PhoneUnusable;
    }
    console_.report(UserMessages::portFailed(port_, code));
    return serial_comm::isPhoneGoneError(code) ? ExitStatus::PhoneDisconnected
                                               : ExitStatus::PhoneUnusable;
}

ExitStatus PhoneSession::probe() {
    DEVICE_INFO_EX found;
    found.devicePath = text_codec::fromUtf8(port_);
    device_ = found;
    try {
        probePhone(AnyPortFilter(), found, device_);
    } catch (const serial_comm::SerialPortException& failure) {
        // The probe is the first exchange: a port that hangs up then is no phone's port (a
        // legacy serial port without hardware, a terminal whose other side has gone).
        if (serial_comm::isPhoneGoneError(failure.code())) {
            console_.report(UserMessages::portNotOpened(port_, failure.code()));
            return ExitStatus::PhoneUnusable;
        }
        return portFailure(failure.code(), failure.openError());
    }
    if (signals_.stopRequested()) {
        return ExitStatus::Cancelled;
    }
    if (canBeRead(device_.state)) {
        return ExitStatus::Success;
    }
    // Without a model the phone never got as far as naming itself.
    console_.report(device_.model.empty() ? UserMessages::phoneNotAnswering(port_)
                                          : UserMessages::phoneUnsupported(port_, model()));
    return ExitStatus::PhoneUnusable;
}

ExitStatus PhoneSession::open() {
    try {
        manager_ = std::make_unique<PhoneManager>(text_codec::fromUtf8(port_),
                                                  device_.state == DeviceState::ExtendedPhonebook);
    } catch (const serial_comm::SerialPortException& failure) {
        return portFailure(failure.code(), failure.openError());
    }
    return signals_.stopRequested() ? ExitStatus::Cancelled : ExitStatus::Success;
}

ExitStatus PhoneSession::query(std::chrono::milliseconds timeout) {
    // Charsets first, as the contacts source page asks: the storages answer then comes last,
    // and it always comes unless the port fails.
    manager_->requestCharsets(*this);
    manager_->requestStorages(*this);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!haveStorages_ && std::chrono::steady_clock::now() < deadline) {
        if (signals_.stopRequested()) {
            return ExitStatus::Cancelled;
        }
        runNext(std::chrono::milliseconds(100));
    }
    if (!haveCharsets_ || !haveStorages_) {
        console_.report(UserMessages::phoneNotAnswering(port_));
        return ExitStatus::PhoneUnusable;
    }
    return ExitStatus::Success;
}
