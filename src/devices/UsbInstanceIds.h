#pragma once

#include <string>
#include <string_view>

// Device instance IDs for USB devices, their interfaces and USB disks, in the form the maker's
// markers and the parent walk work on: enumerator, backslash, hardware part, backslash,
// instance part, all in ASCII:
//
//   USB\VID_3C5F&PID_7D19\<serial, or the device's bus path>
//   USB\VID_3C5F&PID_7D19&MI_01\<instance part of the device>&01
//   USBSTOR\DISK&VEN_KORVANTA&PROD_Z3_STORAGE\<instance part of the USB device>&<LUN>
//
// Each returns an empty string when a value it needs is not what a USB device reports (IDs
// of four hexadecimal digits, an interface number of two), so that such a device is skipped.

// A USB device: vendorId and productId as sysfs holds them ("3c5f"); instance is the serial
// when usable (see isUsableSerial) or the sysfs name of the device ("1-2").
std::string usbDeviceInstanceId(std::string_view vendorId, std::string_view productId,
                                std::string_view instance);

// One interface of a USB device; interfaceNumber as sysfs holds it ("01").
std::string usbInterfaceInstanceId(std::string_view vendorId, std::string_view productId,
                                   std::string_view interfaceNumber,
                                   std::string_view deviceInstance);

// A USB mass-storage unit: the SCSI vendor and model strings (blanks and characters an ID
// cannot hold become "_", letters upper case); cdrom picks CDROM over DISK.
std::string usbStorageInstanceId(bool cdrom, std::string_view vendor, std::string_view model,
                                 std::string_view deviceInstance, std::string_view lun);

// True when a serial number can stand as an instance part: 1 to 126 printable ASCII
// characters without blanks, backslashes or commas.
bool isUsableSerial(std::string_view serial);

// text for the hardware part of an ID: ASCII letters upper case; blanks, backslashes, "&" and
// anything outside printable ASCII become "_".
std::string idPart(std::string_view text);
