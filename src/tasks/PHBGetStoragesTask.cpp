#include "tasks/PHBGetStoragesTask.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "serial_comm/CPBSCommand.h"
#include "serial_comm/CommandExchange.h"
#include "serial_comm/SerialPortException.h"
#include "serial_comm/StorageTable.h"

PHBGetStoragesTask::PHBGetStoragesTask(serial_comm::Modem& modem, IPHBGetStoragesSink& sink,
                                       PhoneMaker maker)
    : modem_(&modem), sink_(&sink), maker_(maker) {}

void PHBGetStoragesTask::run() {
    std::vector<StorageKind> kinds;
    try {
        std::string answer;
        if (serial_comm::exchange(*modem_, serial_comm::CPBSCommand::testCommand(), answer) > 0) {
            serial_comm::CPBSCommand command;
            command.parse(answer);
            // A storage the phone lists twice is offered once.
            for (const StorageKind kind :
                 serial_comm::storageKindsOf(command.storageNames(maker_))) {
                if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
                    kinds.push_back(kind);
            }
        }
    } catch (const serial_comm::SerialPortException&) {
        return;  // the port failed: nothing to report
    }
    sink_->onStorages(kinds);
}
