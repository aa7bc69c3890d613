#include "tasks/ModemLease.h"

#include <utility>

#include "serial_comm/SerialPortException.h"
#include "tasks/ModemRegistry.h"

ModemLease::ModemLease(std::u16string portName, std::int32_t priority)
    : portName_(std::move(portName)) {
    int openError = 0;
    modem_ = ModemRegistry::instance().acquire(portName_, priority, &openError);
    if (modem_ == nullptr)
        throw serial_comm::SerialPortException(0, openError);
}

ModemLease::~ModemLease() {
    ModemRegistry::instance().release(portName_, modem_);
}
