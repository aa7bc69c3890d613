#include "devices/UsbInstanceIds.h"

#include <algorithm>

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Upper-case hexadecimal of exactly digits digits; empty otherwise.
std::string hexField(std::string_view value, std::size_t digits) {
    if (value.size() != digits || !std::all_of(value.begin(), value.end(), isHexDigit))
        return {};
    return idPart(value);
}

}  // namespace

std::string idPart(std::string_view text) {
    std::string part;
    part.reserve(text.size());
    for (const char c : text) {
        if (c >= 'a' && c <= 'z')
            part += static_cast<char>(c - 'a' + 'A');
        else if (c > ' ' && c < 0x7F && c != '\\' && c != '&')
            part += c;
        else
            part += '_';
    }
    return part;
}

bool isUsableSerial(std::string_view serial) {
    return !serial.empty() && serial.size() < 127 &&
           std::all_of(serial.begin(), serial.end(),
                       [](char c) { return c > ' ' && c < 0x7F && c != '\\' && c != ','; });
}

std::string usbDeviceInstanceId(std::string_view vendorId, std::string_view productId,
                                std::string_view instance) {
    const std::string vid = hexField(vendorId, 4);
    const std::string pid = hexField(productId, 4);
    if (vid.empty() || pid.empty() || instance.empty())
        return {};
    return "USB\\VID_" + vid + "&PID_" + pid + "\\" + std::string(instance);
}

std::string usbInterfaceInstanceId(std::string_view vendorId, std::string_view productId,
                                   std::string_view interfaceNumber,
                                   std::string_view deviceInstance) {
    const std::string vid = hexField(vendorId, 4);
    const std::string pid = hexField(productId, 4);
    const std::string mi = hexField(interfaceNumber, 2);
    if (vid.empty() || pid.empty() || mi.empty() || deviceInstance.empty())
        return {};
    return "USB\\VID_" + vid + "&PID_" + pid + "&MI_" + mi + "\\" + std::string(deviceInstance) +
           "&" + mi;
}

std::string usbStorageInstanceId(bool cdrom, std::string_view vendor, std::string_view model,
                                 std::string_view deviceInstance, std::string_view lun) {
    if (vendor.empty() || deviceInstance.empty())
        return {};
    return std::string("USBSTOR\\") + (cdrom ? "CDROM" : "DISK") + "&VEN_" + idPart(vendor) +
           "&PROD_" + idPart(model) + "\\" + std::string(deviceInstance) + "&" + idPart(lun);
}
