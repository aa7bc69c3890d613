#include "cli/PhoneSession.h"

#include <utility>

#include "causes/PortHolder.h"
#include "charsets/TextCodec.h"
#include "cli/AnyPortFilter.h"
#include "cli/UserMessages.h"
#include "devices/DeviceRoots.h"
#include "devices/DeviceTree.h"
#include "devices/PhoneProbe.h"
#include "serial_comm/IdentityAnswers.h"
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
    return text_codec::toUtf8(serial_comm::phoneName(device_.manufacturer, device_.model));
}

std::string PhoneSession::imei() const {
    return text_codec::toUtf8(device_.imei);
}

ExitStatus PhoneSession::portFailure(int code, int openError) {
    if (code == 0) {
        console_.report(UserMessages::portNotOpened(port_, causes::openCause(port_, openError)));
        return ExitStatus::PhoneUnusable;
    }
    console_.report(UserMessages::portFailed(port_, code));
    return serial_comm::isPhoneGoneError(code) ? ExitStatus::PhoneDisconnected
                                               : ExitStatus::PhoneUnusable;
}

ExitStatus PhoneSession::probe() {
    DEVICE_INFO_EX found;
    found.devicePath = text_codec::fromUtf8(port_);
    // What sysfs tells of the port decides whether the maker's mode command may be sent to it.
    if (auto record = DeviceTree(DeviceRoots::fromEnvironment()).modemRecordOf(found.devicePath))
        found = std::move(*record);
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
        if (failure.code() == 0) {
            // The port was not had: why, as the probe found it (with the program holding it).
            console_.report(UserMessages::portNotOpened(port_, device_.cause));
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
    // Silent, refusing the mode switch, lacking commands or a locked SIM, as the probe found it.
    console_.report(UserMessages::phoneCannotBeUsed(port_, model(), device_.state, device_.cause));
    return ExitStatus::PhoneUnusable;
}

ExitStatus PhoneSession::open() {
    try {
        manager_ = std::make_unique<PhoneManager>(text_codec::fromUtf8(port_),
                                                  device_.state == DeviceState::ExtendedPhonebook,
                                                  device_.otherMaker);
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
