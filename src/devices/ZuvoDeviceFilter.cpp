#include "devices/ZuvoDeviceFilter.h"

namespace device_filter {

bool ZuvoDeviceFilter::accept(const DEVICE_INFO_EX& device) const {
    return device.vendorId == u"3C5F";
}

}  // namespace device_filter
