#include "devices/PhoneProbe.h"

#include <utility>

#include "causes/CauseTable.h"
#include "causes/PortHolder.h"
#include "charsets/TextCodec.h"
#include "devices/ZuvoDeviceFilter.h"
#include "serial_comm/SerialPortException.h"
#include "tasks/ModemLease.h"

using serial_comm::ProbeFinding;
using serial_comm::SerialPortException;

namespace {

// Lets every device through: the person asked for it.
class AskedFor final : public device_filter::DeviceFilter {
public:
    bool accept(const DEVICE_INFO_EX& /*device*/) const override { return true; }
};

// The probe's lease on the port; a port that cannot be had leaves its cause in result.
ModemLease leasePort(DEVICE_INFO_EX& result) {
    try {
        return ModemLease(result.devicePath, kProbeLeasePriority);
    } catch (const SerialPortException& failure) {
        result.cause =
            causes::openCause(text_codec::toUtf8(result.devicePath), failure.openError());
        throw;
    }
}

causes::Cause causeOf(ProbeFinding finding) {
    switch (finding) {
        case ProbeFinding::Readable:
            return causes::Cause::None;
        case ProbeFinding::Silent:
            return causes::Cause::Silent;
        case ProbeFinding::RefusedMode:
            return causes::Cause::RefusedMode;
        case ProbeFinding::MissingCommands:
            return causes::Cause::MissingCommands;
        case ProbeFinding::SimLocked:
            return causes::Cause::SimLocked;
    }
    return causes::Cause::Unknown;
}

// The probe; opened tells, when an exception leaves it, whether the port was had.
bool probeSteps(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result, ProbeFinding* finding, bool& opened) {
    result.state = DeviceState::Unsupported;
    result.device = found.device;
    result.devicePath = found.devicePath;
    result.vendorId = found.vendorId;
    // Nothing from an earlier probe may stand for this one.
    result.model.clear();
    result.imei.clear();
    result.manufacturer.clear();
    result.otherMaker = false;
    result.cause = {};
    if (!filter.accept(result))
        return false;

    ModemLease lease = leasePort(result);
    opened = true;
    serial_comm::ProbeReport report = serial_comm::probePhoneOn(lease.modem(), portOriginOf(found));

    result.state = static_cast<DeviceState>(report.level);
    result.otherMaker = report.otherMaker;
    result.manufacturer = std::move(report.manufacturer);
    // A serial number counts only for a phone that told its model.
    result.model = std::move(report.model);
    if (!result.model.empty())
        result.imei = std::move(report.serialNumber);
    result.cause = causeOf(report.finding);
    if (finding != nullptr)
        *finding = report.finding;
    return true;
}

}  // namespace

serial_comm::PortOrigin portOriginOf(const DEVICE_INFO_EX& found) {
    if (found.vendorId.empty())
        return serial_comm::PortOrigin::Unknown;
    return device_filter::ZuvoDeviceFilter().accept(found)
               ? serial_comm::PortOrigin::MakersUsbDevice
               : serial_comm::PortOrigin::OtherUsbDevice;
}

bool probePhone(const device_filter::DeviceFilter& filter, const DEVICE_INFO_EX& found,
                DEVICE_INFO_EX& result, ProbeFinding* finding) {
    bool opened = false;
    try {
        return probeSteps(filter, found, result, finding, opened);
    } catch (const SerialPortException& failure) {
        // A port that was had and failed on the way (one that was not had told its cause).
        if (opened)
            result.cause = {causes::causeOfPortFailure(failure.code()), failure.code()};
        throw;
    }
}

void probeAskedPort(const DEVICE_INFO_EX& found, DEVICE_INFO_EX& result, ProbeFinding* finding) {
    probePhone(AskedFor(), found, result, finding);
}
