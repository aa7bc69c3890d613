#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/DeviceNodeTable.h"
#include "devices/DeviceRoots.h"
#include "devices/IEnumDeviceSink.h"
#include "devices/UsbSerialPort.h"

// The system's devices as the kernel shows them in sysfs, and the two enumeration passes that
// find the maker's phones among them.
//
// What is read (paths relative to the sysfs root):
// - class/tty/<name>: links to the tty device folders. A CDC-ACM modem sits at
//   devices/.../<usb device>/<usb device>:<config>.<interface>/tty/ttyACM<n>, a USB serial
//   converter's port at .../<interface>/ttyUSB<n>/tty/ttyUSB<n>. The tty's uevent names its
//   device node (DEVNAME) below the dev root.
// - bus/usb/devices/<name>: links to every USB device (a folder holding idVendor, idProduct,
//   optional serial) and every USB interface (a folder holding bInterfaceNumber,
//   bInterfaceClass, and a driver link when a driver is bound).
// - below a USB interface, host<N>/target<N>:0:0/<N>:0:0:<lun>/: a mass-storage unit on the
//   scsi subsystem, with its vendor and model strings.
//
// The devices that matter get device nodes (see DeviceNodeTable) and synthesised instance IDs
// (see UsbInstanceIds.h), so that the maker's markers, the parent walk and the states apply:
// the parent of a device is its nearest ancestor folder that is a USB interface or a USB
// device, which makes a tty's parent its interface, an interface's parent its USB device, and
// a disk's parent its interface (not the SCSI host and target folders between them).
//
// Reads only; every operation may run on any thread.
class DeviceTree {
public:
    explicit DeviceTree(DeviceRoots roots);

    const DeviceRoots& roots() const { return roots_; }

    // The first pass: reports every tty device with a USB interface among its ancestors (not
    // legacy serial ports, virtual consoles or pseudo-terminals), in name order, as a record in
    // state Found with its device path (the dev root and the tty's DEVNAME, or its name when
    // the uevent has none) and the vendor ID of its USB device. Throws std::runtime_error,
    // before reporting anything, when the tty class cannot be read. Exceptions of the sink pass
    // through.
    void findModems(IEnumDeviceSink& sink);

    // The second pass: reports the maker's USB devices and interfaces (NoDriver when no driver is
    // bound to the interface, or to any interface of the device; OtherMode otherwise) and the
    // maker's USB mass-storage units (OtherMode), with no device path. When the USB bus cannot
    // be read, a line saying so goes to the standard error stream and nothing is reported; a
    // tree without a USB bus has nothing to report.
    void FindOtherZuvoDevices(IEnumDeviceSink& sink);

    // Every other serial port attached by USB: the ttys of the modem pass whose USB device is
    // not the maker's, in name order, with what sysfs says of them (see UsbSerialPort). Nothing
    // is opened. Throws std::runtime_error, like findModems, when the tty class cannot be read.
    std::vector<UsbSerialPort> findOtherUsbSerialPorts();

    // The record the modem pass reports for the USB tty behind devicePath, with devicePath as
    // given: a device node below the dev root, or a link that leads to one (as those below
    // /dev/serial/by-id do). Nothing for a port the tree does not place on USB (a
    // pseudo-terminal, a Bluetooth or legacy serial port, a path that names no tty), or when
    // the tty class cannot be read. Nothing is opened.
    std::optional<DEVICE_INFO_EX> modemRecordOf(const std::u16string& devicePath);

    // The top-most ancestor reachable through an unbroken chain of the maker's devices, the node
    // itself when its parent is not the maker's.
    std::uint32_t rootDeviceOf(std::uint32_t node);

    // The nearest ancestor that is a USB interface or USB device; 0 when there is none.
    std::uint32_t parentOf(std::uint32_t node);

    // The synthesised instance ID of a USB device, USB interface or USB mass-storage unit, in
    // ASCII; empty for other devices and unknown nodes.
    std::string instanceIdOf(std::uint32_t node) const;

    // True while the node's folder exists.
    bool nodeExists(std::uint32_t node) const;

    // How long the USB device of a node (the node itself, or its nearest USB device above) has
    // been connected, as the kernel counts it (power/connected_duration); nothing when the tree
    // does not tell.
    std::optional<std::chrono::milliseconds> connectedFor(std::uint32_t node) const;

    // The node of a device folder (path relative to the sysfs root), and back.
    std::uint32_t nodeOf(std::string_view relativePath) { return nodes_.nodeOf(relativePath); }
    std::optional<std::string> pathOf(std::uint32_t node) const { return nodes_.pathOf(node); }

private:
    enum class Kind { Other, UsbDevice, UsbInterface };
    // What a USB device folder says of itself.
    struct UsbDeviceFacts {
        std::optional<std::string> vendorId;
        std::optional<std::string> productId;
        std::string instancePart;  // the usable serial, or the folder's name
    };
    // What one pass has read already: the devices of a phone share their ancestors.
    struct Lookups;

    std::string absolute(std::string_view relative) const;
    std::optional<std::string> attribute(std::string_view folder, std::string_view name) const;
    bool hasFile(std::string_view folder, std::string_view name) const;
    Kind kindOf(std::string_view relative) const;
    const std::string& usbParentOf(const std::string& relative, Lookups& lookups) const;
    std::string usbInterfaceAbove(std::string_view relative) const;
    const std::string& instanceIdOf(const std::string& relative, Lookups& lookups) const;
    const UsbDeviceFacts& usbDevice(const std::string& device, Lookups& lookups) const;
    std::string usbDeviceId(const std::string& device, Lookups& lookups) const;
    std::string usbInterfaceId(const std::string& interface, Lookups& lookups) const;
    std::optional<std::string> interfaceNumberOf(const std::string& interface,
                                                 Lookups& lookups) const;
    std::string usbStorageId(const std::string& unit, Lookups& lookups) const;
    std::string devicePathOf(std::string_view tty) const;
    // Calls visit with each tty that has a USB interface above it, in name order, and that
    // interface (noted in lookups as the tty's USB parent); throws as findModems does.
    void forEachUsbTty(Lookups& lookups,
                       const std::function<void(const std::string& tty,
                                                const std::string& interface)>& visit) const;
    DEVICE_INFO_EX foundRecord(const std::string& tty, const std::string& interface,
                               Lookups& lookups);
    std::uint32_t rootDeviceOf(const std::string& relative, Lookups& lookups);
    void reportStorageUnitsBelow(const std::string& interface, Lookups& lookups,
                                 IEnumDeviceSink& sink);
    void report(const std::string& relative, DeviceState state, Lookups& lookups,
                IEnumDeviceSink& sink);

    const DeviceRoots roots_;
    const std::string sysfsRoot_;  // without a trailing "/"
    DeviceNodeTable nodes_;
};
