#include "devices/PhoneProbe.h"

#include <utility>

#include "devices/ZuvoDeviceFilter.h"
#include "tasks/ModemLease.h"

namespace {

// Lets every device through: the person asked for it.
class AskedFor final : public device_filter::DeviceFilter {
public:
    bool accept(const DEVICE_INFO_EX& /*device*/) const override { return true; }
};

}  // namespace

serial_comm::PortOrigin portOriginOf(const DEVICE_INFO_EX& found) {
    if (found.vendorId.empty())
        return serial_comm::PortOrigin::Unknown;
    return device_filter::ZuvoDeviceFilter().accept(found)
               ? serial_comm::PortOrigin::MakersUsbDevice
               : serial_comm::PortOrigin::OtherUsbDevice;
}

bool probePhone(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result, serial_comm::ProbeFinding* finding) {
    result.state = DeviceState::Unsupported;
    result.device = found.device;
    result.devicePath = found.devicePath;
    result.vendorId = found.vendorId;
    // Nothing from an earlier probe may stand for this one.
    result.model.clear();
    result.imei.clear();
    result.manufacturer.clear();
    result.otherMaker = false;
    if (!filter.accept(result))
        return false;

    ModemLease lease(result.devicePath, kProbeLeasePriority);
    serial_comm::ProbeReport report = serial_comm::probePhoneOn(lease.modem(), portOriginOf(found));

    result.state = static_cast<DeviceState>(report.level);
    result.otherMaker = report.otherMaker;
    result.manufacturer = std::move(report.manufacturer);
    // A serial number counts only for a phone that told its model.
    result.model = std::move(report.model);
    if (!result.model.empty())
        result.imei = std::move(report.serialNumber);
    if (finding != nullptr)
        *finding = report.finding;
    return true;
}

void probeAskedPort(const DEVICE_INFO_EX& found, DEVICE_INFO_EX& result,
                    serial_comm::ProbeFinding* finding) {
    probePhone(AskedFor(), found, result, finding);
}
