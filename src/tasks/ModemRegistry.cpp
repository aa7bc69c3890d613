#include "tasks/ModemRegistry.h"

#include <cerrno>
#include <utility>

using serial_comm::Modem;

ModemRegistry& ModemRegistry::instance() {
    static ModemRegistry registry;
    return registry;
}

ModemRegistry::~ModemRegistry() = default;

Modem* ModemRegistry::acquire(const std::u16string& portName, std::int32_t priority,
                              int* openError) {
    auto modem = std::make_unique<Modem>();
    int error = 0;
    Modem* acquired = nullptr;
    {
        std::lock_guard lock(mutex_);
        modem->setTrace(trace_);
        const auto holder = active_.find(portName);
        if (holder != active_.end() && priority > holder->second.priority) {
            // close() also ends an operation that the holder has in progress on another
            // thread, and returns once that operation has let go of the port.
            holder->second.modem->port().close();
            displaced_.emplace(portName, std::move(holder->second));
            active_.erase(holder);
        }
        if (!modem->port().open(portName, 0, 0)) {
            error = modem->port().lastOpenError();
        } else if (active_.contains(portName)) {
            // Opened, but the registry still holds the port under an equal or higher priority
            // (its port closed by closeAllPorts, not yet released).
            error = EBUSY;
        } else {
            acquired = modem.get();
            active_.emplace(portName, Entry{priority, std::move(modem)});
        }
    }
    if (openError != nullptr)
        *openError = error;
    // A modem that was not registered is deleted here, outside the lock.
    return acquired;
}

bool ModemRegistry::release(const std::u16string& portName, Modem* modem) {
    if (modem == nullptr)
        return false;
    std::unique_ptr<Modem> found;
    {
        std::lock_guard lock(mutex_);
        const auto holder = active_.find(portName);
        if (holder != active_.end() && holder->second.modem.get() == modem) {
            found = std::move(holder->second.modem);
            active_.erase(holder);
        } else {
            auto [first, last] = displaced_.equal_range(portName);
            for (auto it = first; it != last; ++it) {
                if (it->second.modem.get() == modem) {
                    found = std::move(it->second.modem);
                    displaced_.erase(it);
                    break;
                }
            }
        }
    }
    // Deleted outside the lock: closing the port waits for an operation still using it.
    return found != nullptr;
}

void ModemRegistry::closeAllPorts() {
    std::lock_guard lock(mutex_);
    for (auto& [name, entry] : active_)
        entry.modem->port().close();
}

void ModemRegistry::setTrace(Modem::Trace trace) {
    std::lock_guard lock(mutex_);
    trace_ = std::move(trace);
}
