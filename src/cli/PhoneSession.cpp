#include "cli/PhoneSession.h"

#include <utility>
#include <variant>

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
    : port_(std::move(port)), console_(console), signals_(signals), sinks_(events_) {}

PhoneSession::~PhoneSession() {
    sinks_.refuseWriteErrors();
    manager_.reset();
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
    switch (device_.state) {
        case DeviceState::StandardPhonebook:
        case DeviceState::ExtendedPhonebook:
            return ExitStatus::Success;
        default:
            // Silent, refusing the mode switch, or lacking commands, as the probe found it.
            console_.report(
                UserMessages::phoneCannotBeUsed(port_, model(), device_.state, device_.cause));
            return ExitStatus::PhoneUnusable;
    }
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
    manager_->requestCharsets(sinks_);
    manager_->requestStorages(sinks_);
    bool haveCharsets = false;
    bool haveStorages = false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!haveStorages && std::chrono::steady_clock::now() < deadline) {
        if (signals_.stopRequested()) {
            return ExitStatus::Cancelled;
        }
        auto event = events_.pop(std::chrono::milliseconds(100));
        if (!event) {
            continue;
        }
        if (auto* charsets = std::get_if<cli_event::Charsets>(&*event)) {
            charsets_ = std::move(charsets->names);
            haveCharsets = true;
        } else if (auto* storages = std::get_if<cli_event::Storages>(&*event)) {
            storages_ = std::move(storages->kinds);
            haveStorages = true;
        }
    }
    if (!haveCharsets || !haveStorages) {
        console_.report(UserMessages::phoneNotAnswering(port_));
        return ExitStatus::PhoneUnusable;
    }
    return ExitStatus::Success;
}
