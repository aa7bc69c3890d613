#pragma once

#include "charsets/PhoneMaker.h"
#include "common/IPHBGetStoragesSink.h"
#include "tasks/ITask.h"

namespace serial_comm {
class Modem;
}

// Asks the phone which phonebook storages it offers (AT+CPBS=?) and reports the kinds the
// program can read, in the phone's order. The sink hears once, also when the phone stays
// silent (an empty list); only a failing port ends the task without a word. A phone of another
// maker may list the names in the UCS2 form (see CPBSCommand::storageNames).
class PHBGetStoragesTask final : public ITask {
public:
    // Neither is owned; both must outlive the task.
    PHBGetStoragesTask(serial_comm::Modem& modem, IPHBGetStoragesSink& sink,
                       PhoneMaker maker = PhoneMaker::Own);

    void run() override;

private:
    serial_comm::Modem* modem_;
    IPHBGetStoragesSink* sink_;
    PhoneMaker maker_;
};
