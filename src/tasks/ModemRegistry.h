#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "serial_comm/Modem.h"

// The one place where the phones' modem ports are opened and closed, by port name. Each port
// has at most one active modem. A user with a higher priority takes a port away from one with
// a lower priority: the old modem's port is closed (its holder's operation in progress, or its
// next one, fails with SerialPortException code 0) and the modem is kept, displaced, until its
// holder releases it. Priorities in use: 0 for the phone probe, 1 for the phone manager.
//
// The registry owns every modem it hands out. Its operations may be called from any thread;
// each runs under one lock and calls nothing back.
class ModemRegistry {
public:
    // The process's registry, created on first use and destroyed when the process ends (every
    // modem still registered is deleted then).
    static ModemRegistry& instance();

    ModemRegistry(const ModemRegistry&) = delete;
    ModemRegistry& operator=(const ModemRegistry&) = delete;
    ~ModemRegistry();

    // Opens the port for exclusive use and returns its new modem, or null when the port cannot
    // be had: it does not open (missing, no permission, held by another program) or it is held
    // under an equal or higher priority. With a priority higher than the current holder's, the
    // holder's port is closed first and its modem displaced. When openError is given it
    // receives 0 on success, else why the port could not be had: the errno of the failed open
    // (see SerialPort::lastOpenError()), or EBUSY when the registry holds the port itself.
    serial_comm::Modem* acquire(const std::u16string& portName, std::int32_t priority,
                                int* openError = nullptr);

    // Deletes the modem (which closes its port) when it is registered under portName, active or
    // displaced, and returns true; false, with nothing deleted, otherwise.
    bool release(const std::u16string& portName, serial_comm::Modem* modem);

    // Closes the port of every active modem; the modems stay registered until released.
    void closeAllPorts();

    // Gives every modem acquired from now on this trace of the bytes it exchanges (see
    // serial_comm::Modem::setTrace); an empty function ends tracing for later modems. The
    // trace is called on whichever thread uses a modem, so it must be safe to call from
    // several threads, and it must outlive the modems that were given it.
    void setTrace(serial_comm::Modem::Trace trace);

private:
    struct Entry {
        std::int32_t priority = 0;
        std::unique_ptr<serial_comm::Modem> modem;
    };

    ModemRegistry() = default;

    std::mutex mutex_;
    serial_comm::Modem::Trace trace_;
    std::map<std::u16string, Entry> active_;
    // A port may be taken away more than once before the earlier holders release; every
    // displaced modem is kept until its own holder releases it.
    std::multimap<std::u16string, Entry> displaced_;
};
