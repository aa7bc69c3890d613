#pragma once

#include "common/IPHBGetStoragesSink.h"
#include "tasks/ITask.h"

namespace serial_comm {
class Modem;
}

// Asks the phone which phonebook storages it offers (AT+CPBS=?) and reports the kinds the
// program can read, in the phone's order. The sink hears once, also when the phone stays
// silent (an empty list); only a failing port ends the task without a word.
class PHBGetStoragesTask final : public ITask {
public:
    // Neither is owned; both must outlive the task.
    PHBGetStoragesTask(serial_comm::Modem& modem, IPHBGetStoragesSink& sink);

    void run() override;

private:
    serial_comm::Modem* modem_;
    IPHBGetStoragesSink* sink_;
};
