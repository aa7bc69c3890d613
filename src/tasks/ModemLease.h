#pragma once

#include <cstdint>
#include <string>

#include "serial_comm/Modem.h"

// A user's hold on the modem of one port, taken from ModemRegistry with a priority and given
// back when the lease is destroyed. The registry owns the modem; a higher priority may close its
// port meanwhile, after which the modem's operations fail with SerialPortException.
class ModemLease {
public:
    // Acquires the port. Throws serial_comm::SerialPortException with code 0 when the port
    // cannot be had; its openError() then says why (see ModemRegistry::acquire).
    ModemLease(std::u16string portName, std::int32_t priority);

    // Releases the modem to the registry.
    ~ModemLease();

    ModemLease(const ModemLease&) = delete;
    ModemLease& operator=(const ModemLease&) = delete;

    serial_comm::Modem& modem() const { return *modem_; }
    serial_comm::Modem* operator->() const { return modem_; }

    const std::u16string& portName() const { return portName_; }

private:
    std::u16string portName_;
    serial_comm::Modem* modem_ = nullptr;  // owned by the registry
};
