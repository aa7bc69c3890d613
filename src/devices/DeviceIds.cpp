#include "devices/DeviceIds.h"

#include <algorithm>

#include "charsets/AsciiCase.h"

bool isZuvoDevice(std::u16string_view instanceId) {
    const std::size_t first = instanceId.find(u'\\');
    if (first == std::u16string_view::npos)
        return false;
    std::u16string_view hardware = instanceId.substr(first + 1);
    hardware = hardware.substr(0, hardware.find(u'\\'));
    return std::any_of(kZuvoDeviceMarkers.begin(), kZuvoDeviceMarkers.end(),
                       [hardware](std::u16string_view marker) {
                           return hardware.find(marker) != std::u16string_view::npos;
                       });
}

std::u16string vendorIdOf(std::u16string_view devicePath) {
    const std::u16string upper = ascii_case::upperCased(devicePath);
    const std::size_t vid = upper.find(u"VID_");
    if (vid == std::u16string::npos)
        return {};
    return upper.substr(vid + 4, 4);
}
