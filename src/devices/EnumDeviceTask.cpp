#include "devices/EnumDeviceTask.h"

#include <exception>
#include <utility>

EnumDeviceTask::EnumDeviceTask(IEnumDeviceSink& manager, IDeviceListSink* listSink,
                               synchronization::Event& stopEvent, DeviceTree& tree,
                               FinishedReport finished)
    : manager_(manager),
      listSink_(listSink),
      stopEvent_(stopEvent),
      tree_(tree),
      finished_(std::move(finished)) {}

void EnumDeviceTask::tellListChanged() {
    if (listSink_ != nullptr)
        listSink_->onListChanged();
}

void EnumDeviceTask::run() {
    tellListChanged();
    std::string failure;
    try {
        tree_.findModems(*this);
        tree_.FindOtherZuvoDevices(*this);
    } catch (const ITask::TerminationException&) {
        throw;
    } catch (const std::exception& error) {
        // The devices could not be read (or memory ran out): this enumeration ends without
        // further records, and the worker stays for the next one.
        failure = error.what();
        if (failure.empty())
            failure = "the devices could not be read";
    }
    if (finished_)
        finished_(failure);
}

void EnumDeviceTask::onDevice(const DEVICE_INFO_EX& device) {
    manager_.onDevice(device);
    tellListChanged();
    if (stopEvent_.isSignalled())
        throw ITask::TerminationException(0);
}
