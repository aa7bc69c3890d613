#pragma once

#include <functional>
#include <string>

#include "common/Event.h"
#include "devices/DeviceTree.h"
#include "devices/IDeviceListSink.h"
#include "devices/IEnumDeviceSink.h"
#include "tasks/ITask.h"

// One enumeration of the devices, run on the device manager's worker: tells the list sink that
// the list changed, runs the first and then the second pass of the tree with itself as sink,
// and passes every record on to the device manager, telling the list sink after each one.
//
// After each record it looks at the worker's stop event: once that is signalled it throws
// ITask::TerminationException with code 0, so no further record is handled and the worker ends.
//
// When the first pass cannot read the devices at all, the enumeration ends there without
// records; the worker lives on and the next enumeration tries again. finished (optional) is
// called at the end of every enumeration that was not stopped, with an empty text or the reason
// it could not read the devices.
class EnumDeviceTask : public ITask, public IEnumDeviceSink {
public:
    using FinishedReport = std::function<void(const std::string& failure)>;

    EnumDeviceTask(IEnumDeviceSink& manager, IDeviceListSink* listSink,
                   synchronization::Event& stopEvent, DeviceTree& tree,
                   FinishedReport finished = {});

    void run() override;
    void onDevice(const DEVICE_INFO_EX& device) override;

private:
    void tellListChanged();

    IEnumDeviceSink& manager_;
    IDeviceListSink* listSink_;
    synchronization::Event& stopEvent_;
    DeviceTree& tree_;
    FinishedReport finished_;
};
