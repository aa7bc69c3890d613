#include "devices/DeviceTree.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "charsets/TextCodec.h"
#include "devices/DeviceIds.h"
#include "devices/SysfsAccess.h"
#include "devices/UsbInstanceIds.h"

namespace {

std::string withoutTrailingSlashes(const std::filesystem::path& root) {
    std::string text = root.string();
    while (!text.empty() && text.back() == '/')
        text.pop_back();
    return text;
}

std::string errorText(int error) {
    return std::generic_category().message(error);
}

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A SCSI unit's folder name: host:channel:target:lun, all decimal.
bool isScsiAddress(std::string_view name) {
    int parts = 0;
    std::size_t position = 0;
    while (position <= name.size()) {
        std::size_t end = name.find(':', position);
        if (end == std::string_view::npos)
            end = name.size();
        if (!isDigits(name.substr(position, end - position)))
            return false;
        ++parts;
        position = end + 1;
    }
    return parts == 4;
}

// The state the second pass gives a device of the maker, by the enumerator of its ID; nothing
// for devices it does not report.
std::optional<DeviceState> stateByEnumerator(std::string_view instanceId, bool driverBound) {
    const std::string_view enumerator = instanceId.substr(0, instanceId.find('\\'));
    if (enumerator == "USB")
        return driverBound ? DeviceState::OtherMode : DeviceState::NoDriver;
    if (enumerator == "USBSTOR")
        return DeviceState::OtherMode;
    return std::nullopt;
}

// The USB drivers that put SCSI units below an interface.
bool isStorageDriver(std::string_view driver) {
    return driver == "usb-storage" || driver == "uas" || driver.starts_with("ums");
}

bool isMakers(std::string_view instanceId) {
    return !instanceId.empty() && isZuvoDevice(text_codec::fromUtf8(instanceId));
}

// A text a device gives about itself, as it may be shown: control characters (which could
// steer a terminal) become U+FFFD.
std::u16string shownText(std::string_view bytes) {
    std::u16string text = text_codec::fromUtf8(bytes);
    for (char16_t& unit : text) {
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0))
            unit = u'\uFFFD';
    }
    return text;
}

// How many links modemRecordOf follows before it gives up (a loop of links, say).
constexpr int kMaxLinkSteps = 16;

}  // namespace

DeviceTree::DeviceTree(DeviceRoots roots)
    : roots_(std::move(roots)), sysfsRoot_(withoutTrailingSlashes(roots_.sysfs)) {}

std::string DeviceTree::absolute(std::string_view relative) const {
    std::string path = sysfsRoot_;
    path += '/';
    path += relative;
    return path;
}

std::optional<std::string> DeviceTree::attribute(std::string_view folder,
                                                 std::string_view name) const {
    std::string path = absolute(folder);
    path += '/';
    path += name;
    return sysfs::readAttribute(path);
}

bool DeviceTree::hasFile(std::string_view folder, std::string_view name) const {
    std::string path = absolute(folder);
    path += '/';
    path += name;
    return sysfs::exists(path);
}

DeviceTree::Kind DeviceTree::kindOf(std::string_view relative) const {
    if (hasFile(relative, "bInterfaceClass"))
        return Kind::UsbInterface;
    if (hasFile(relative, "idVendor"))
        return Kind::UsbDevice;
    return Kind::Other;
}

struct DeviceTree::Lookups {
    std::unordered_map<std::string, std::string> usbParents;
    std::unordered_map<std::string, std::string> instanceIds;
    std::unordered_map<std::string, UsbDeviceFacts> usbDevices;
    // What a USB device says of itself, for the listing of serial ports (a converter has
    // several): manufacturer, product and serial number, as shown.
    std::unordered_map<std::string, std::array<std::u16string, 3>> usbStrings;
    std::unordered_map<std::string, std::optional<std::string>> interfaceNumbers;
};

const std::string& DeviceTree::usbParentOf(const std::string& relative, Lookups& lookups) const {
    const auto known = lookups.usbParents.find(relative);
    if (known != lookups.usbParents.end())
        return known->second;
    std::string parent;
    for (std::string_view folder = sysfs::parentOf(relative);
         !folder.empty() && folder != "devices"; folder = sysfs::parentOf(folder)) {
        if (kindOf(folder) != Kind::Other) {
            parent = folder;
            break;
        }
    }
    return lookups.usbParents.emplace(relative, std::move(parent)).first->second;
}

std::string DeviceTree::usbInterfaceAbove(std::string_view relative) const {
    for (std::string_view folder = sysfs::parentOf(relative);
         !folder.empty() && folder != "devices"; folder = sysfs::parentOf(folder)) {
        if (hasFile(folder, "bInterfaceClass"))
            return std::string(folder);
    }
    return {};
}

const DeviceTree::UsbDeviceFacts& DeviceTree::usbDevice(const std::string& device,
                                                        Lookups& lookups) const {
    const auto known = lookups.usbDevices.find(device);
    if (known != lookups.usbDevices.end())
        return known->second;
    UsbDeviceFacts read;
    read.vendorId = attribute(device, "idVendor");
    read.productId = attribute(device, "idProduct");
    const std::optional<std::string> serial = attribute(device, "serial");
    read.instancePart =
        serial && isUsableSerial(*serial) ? *serial : std::string(sysfs::nameOf(device));
    return lookups.usbDevices.emplace(device, std::move(read)).first->second;
}

std::string DeviceTree::usbDeviceId(const std::string& device, Lookups& lookups) const {
    const UsbDeviceFacts& usb = usbDevice(device, lookups);
    if (!usb.vendorId || !usb.productId)
        return {};
    return usbDeviceInstanceId(*usb.vendorId, *usb.productId, usb.instancePart);
}

std::optional<std::string> DeviceTree::interfaceNumberOf(const std::string& interface,
                                                         Lookups& lookups) const {
    const auto known = lookups.interfaceNumbers.find(interface);
    if (known != lookups.interfaceNumbers.end())
        return known->second;
    return lookups.interfaceNumbers.emplace(interface, attribute(interface, "bInterfaceNumber"))
        .first->second;
}

std::string DeviceTree::usbInterfaceId(const std::string& interface, Lookups& lookups) const {
    const UsbDeviceFacts& usb = usbDevice(std::string(sysfs::parentOf(interface)), lookups);
    const std::optional<std::string> number = interfaceNumberOf(interface, lookups);
    if (!usb.vendorId || !usb.productId || !number)
        return {};
    return usbInterfaceInstanceId(*usb.vendorId, *usb.productId, *number, usb.instancePart);
}

std::string DeviceTree::usbStorageId(const std::string& unit, Lookups& lookups) const {
    // Other devices have vendor files too (a PCI function's holds a number): only a unit on
    // the scsi subsystem has the SCSI vendor string.
    if (sysfs::resolveLink(sysfsRoot_, unit + "/subsystem") != "bus/scsi")
        return {};
    const std::string& interface = usbParentOf(unit, lookups);
    if (interface.empty() || kindOf(interface) != Kind::UsbInterface)
        return {};
    const std::optional<std::string> vendor = attribute(unit, "vendor");
    if (!vendor)
        return {};
    const std::string model = attribute(unit, "model").value_or("");
    const bool cdrom = attribute(unit, "type").value_or("") == "5";
    const std::string_view name = sysfs::nameOf(unit);
    const std::string_view lun = name.substr(name.rfind(':') + 1);
    return usbStorageInstanceId(
        cdrom, *vendor, model,
        usbDevice(std::string(sysfs::parentOf(interface)), lookups).instancePart, lun);
}

const std::string& DeviceTree::instanceIdOf(const std::string& relative, Lookups& lookups) const {
    const auto known = lookups.instanceIds.find(relative);
    if (known != lookups.instanceIds.end())
        return known->second;
    std::string id;
    switch (kindOf(relative)) {
        case Kind::UsbInterface:
            id = usbInterfaceId(relative, lookups);
            break;
        case Kind::UsbDevice:
            id = usbDeviceId(relative, lookups);
            break;
        case Kind::Other:
            id = usbStorageId(relative, lookups);
            break;
    }
    return lookups.instanceIds.emplace(relative, std::move(id)).first->second;
}

std::string DeviceTree::devicePathOf(std::string_view tty) const {
    std::string name(sysfs::nameOf(tty));
    if (const std::optional<std::string> uevent = attribute(tty, "uevent")) {
        std::size_t position = 0;
        while (position < uevent->size()) {
            std::size_t end = uevent->find('\n', position);
            if (end == std::string::npos)
                end = uevent->size();
            const std::string_view line =
                std::string_view(*uevent).substr(position, end - position);
            if (line.starts_with("DEVNAME=")) {
                const std::string_view devName = line.substr(8);
                if (sysfs::isSafeDeviceName(devName))
                    name = devName;
                break;
            }
            position = end + 1;
        }
    }
    return (roots_.dev / name).string();
}

void DeviceTree::forEachUsbTty(
    Lookups& lookups,
    const std::function<void(const std::string& tty, const std::string& interface)>& visit) const {
    const std::string classFolder = absolute("class/tty");
    const sysfs::Listing ttys = sysfs::listFolder(classFolder);
    if (ttys.error != 0) {
        throw std::runtime_error("cannot read the tty devices in " + classFolder + ": " +
                                 errorText(ttys.error));
    }
    for (const std::string& name : ttys.names) {
        const std::string tty = sysfs::resolveLink(sysfsRoot_, "class/tty/" + name);
        // Virtual consoles and pseudo-terminals live below devices/virtual; legacy serial
        // ports and anything else without a USB interface above it is no phone either.
        if (tty.empty() || tty.starts_with("devices/virtual/"))
            continue;
        const std::string interface = usbInterfaceAbove(tty);
        if (interface.empty())
            continue;
        // No USB device folder sits between a tty and its interface: the interface is the
        // tty's USB parent, and the parent walk need not look at the folders between again.
        lookups.usbParents.emplace(tty, interface);
        visit(tty, interface);
    }
}

DEVICE_INFO_EX DeviceTree::foundRecord(const std::string& tty, const std::string& interface,
                                       Lookups& lookups) {
    DEVICE_INFO_EX record;
    record.retriesLeft = 10;
    record.device = nodes_.nodeOf(tty);
    record.rootDevice = rootDeviceOf(tty, lookups);
    record.devicePath = text_codec::fromUtf8(devicePathOf(tty));
    // The port's name tells nothing of the vendor on this system; its USB device does.
    record.vendorId = vendorIdOf(text_codec::fromUtf8(instanceIdOf(interface, lookups)));
    record.state = DeviceState::Found;
    return record;
}

void DeviceTree::findModems(IEnumDeviceSink& sink) {
    Lookups lookups;
    forEachUsbTty(lookups, [&](const std::string& tty, const std::string& interface) {
        sink.onDevice(foundRecord(tty, interface, lookups));
    });
}

std::vector<UsbSerialPort> DeviceTree::findOtherUsbSerialPorts() {
    Lookups lookups;
    std::vector<UsbSerialPort> ports;
    forEachUsbTty(lookups, [&](const std::string& tty, const std::string& interface) {
        if (isMakers(instanceIdOf(interface, lookups)))
            return;  // the maker's phones are found and probed as phones
        const std::string device(sysfs::parentOf(interface));
        const UsbDeviceFacts& usb = usbDevice(device, lookups);
        auto strings = lookups.usbStrings.find(device);
        if (strings == lookups.usbStrings.end()) {
            std::array<std::u16string, 3> read;
            read[0] = shownText(attribute(device, "manufacturer").value_or(""));
            read[1] = shownText(attribute(device, "product").value_or(""));
            read[2] = shownText(attribute(device, "serial").value_or(""));
            strings = lookups.usbStrings.emplace(device, std::move(read)).first;
        }
        UsbSerialPort port;
        port.found = foundRecord(tty, interface, lookups);
        port.ttyName = shownText(sysfs::nameOf(tty));
        port.vendorId = shownText(usb.vendorId.value_or(""));
        port.productId = shownText(usb.productId.value_or(""));
        port.manufacturer = strings->second[0];
        port.product = strings->second[1];
        port.serial = strings->second[2];
        port.driver =
            shownText(sysfs::nameOf(sysfs::resolveLink(sysfsRoot_, interface + "/driver")));
        port.usbPort = shownText(sysfs::nameOf(device));
        port.interfaceNumber = shownText(interfaceNumberOf(interface, lookups).value_or(""));
        ports.push_back(std::move(port));
    });
    return ports;
}

std::optional<DEVICE_INFO_EX> DeviceTree::modemRecordOf(const std::u16string& devicePath) {
    // The ttys by the device path the modem pass gives them.
    Lookups lookups;
    std::unordered_map<std::string, std::pair<std::string, std::string>> byPath;
    try {
        forEachUsbTty(lookups, [&](const std::string& tty, const std::string& interface) {
            std::error_code ignored;
            const std::filesystem::path node =
                std::filesystem::absolute(devicePathOf(tty), ignored).lexically_normal();
            byPath.emplace(node.string(), std::make_pair(tty, interface));
        });
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    // Follow the links from the path given, a step at a time, until one names such a tty.
    std::error_code error;
    std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path(text_codec::toUtf8(devicePath)), error);
    for (int step = 0; !error && step < kMaxLinkSteps; ++step) {
        const auto known = byPath.find(path.lexically_normal().string());
        if (known != byPath.end()) {
            DEVICE_INFO_EX record = foundRecord(known->second.first, known->second.second, lookups);
            record.devicePath = devicePath;
            return record;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

void DeviceTree::report(const std::string& relative, DeviceState state, Lookups& lookups,
                        IEnumDeviceSink& sink) {
    DEVICE_INFO_EX record;
    record.retriesLeft = 10;
    record.device = nodes_.nodeOf(relative);
    record.rootDevice = rootDeviceOf(relative, lookups);
    record.state = state;
    sink.onDevice(record);
}

void DeviceTree::reportStorageUnitsBelow(const std::string& interface, Lookups& lookups,
                                         IEnumDeviceSink& sink) {
    for (const std::string& host : sysfs::listFolder(absolute(interface)).names) {
        if (!host.starts_with("host") || !isDigits(std::string_view(host).substr(4)))
            continue;
        const std::string hostPath = interface + "/" + host;
        for (const std::string& target : sysfs::listFolder(absolute(hostPath)).names) {
            if (!target.starts_with("target"))
                continue;
            const std::string targetPath = hostPath + "/" + target;
            for (const std::string& unit : sysfs::listFolder(absolute(targetPath)).names) {
                if (!isScsiAddress(unit))
                    continue;
                const std::string unitPath = targetPath + "/" + unit;
                const std::string& id = instanceIdOf(unitPath, lookups);
                if (!isMakers(id))
                    continue;
                if (const auto state = stateByEnumerator(id, true))
                    report(unitPath, *state, lookups, sink);
            }
        }
    }
}

void DeviceTree::FindOtherZuvoDevices(IEnumDeviceSink& sink) {
    const std::string busFolder = absolute("bus/usb/devices");
    const sysfs::Listing usb = sysfs::listFolder(busFolder);
    if (usb.error == ENOENT)
        return;  // no USB bus on this system
    if (usb.error != 0) {
        std::cerr << "FindOtherZuvoDevices: cannot read " << busFolder << ": "
                  << errorText(usb.error) << std::endl;
        return;
    }
    Lookups lookups;
    for (const std::string& name : usb.names) {
        const std::string path = sysfs::resolveLink(sysfsRoot_, "bus/usb/devices/" + name);
        if (path.empty())
            continue;
        switch (kindOf(path)) {
            case Kind::UsbInterface: {
                const std::string driver(
                    sysfs::nameOf(sysfs::resolveLink(sysfsRoot_, path + "/driver")));
                const bool bound = !driver.empty();
                const std::string& id = instanceIdOf(path, lookups);
                if (isMakers(id)) {
                    if (const auto state = stateByEnumerator(id, bound))
                        report(path, *state, lookups, sink);
                }
                // Mass storage of the maker may sit below any vendor's interface (its vendor
                // string decides), as long as a storage driver serves it.
                if (isStorageDriver(driver))
                    reportStorageUnitsBelow(path, lookups, sink);
                break;
            }
            case Kind::UsbDevice: {
                const std::string& id = instanceIdOf(path, lookups);
                if (!isMakers(id))
                    break;
                // The USB core binds itself to every device; whether a driver took the phone
                // shows on its interfaces, listed as "<device>:<config>.<interface>".
                bool anyBound = false;
                const std::string prefix = name + ":";
                for (auto it = std::lower_bound(usb.names.begin(), usb.names.end(), prefix);
                     it != usb.names.end() && it->starts_with(prefix); ++it) {
                    const std::string interface =
                        sysfs::resolveLink(sysfsRoot_, "bus/usb/devices/" + *it);
                    if (!interface.empty() && hasFile(interface, "driver"))
                        anyBound = true;
                }
                if (const auto state = stateByEnumerator(id, anyBound))
                    report(path, *state, lookups, sink);
                break;
            }
            case Kind::Other:
                break;
        }
    }
}

std::uint32_t DeviceTree::parentOf(std::uint32_t node) {
    const std::optional<std::string> path = nodes_.pathOf(node);
    if (!path)
        return 0;
    Lookups lookups;
    const std::string& parent = usbParentOf(*path, lookups);
    return parent.empty() ? 0 : nodes_.nodeOf(parent);
}

std::uint32_t DeviceTree::rootDeviceOf(const std::string& relative, Lookups& lookups) {
    std::uint32_t result = nodes_.nodeOf(relative);
    std::string current = relative;
    for (;;) {
        const std::string& parent = usbParentOf(current, lookups);
        if (parent.empty() || !isMakers(instanceIdOf(parent, lookups)))
            return result;
        result = nodes_.nodeOf(parent);
        current = parent;
    }
}

std::uint32_t DeviceTree::rootDeviceOf(std::uint32_t node) {
    const std::optional<std::string> path = nodes_.pathOf(node);
    if (!path)
        return node;
    Lookups lookups;
    return rootDeviceOf(*path, lookups);
}

std::string DeviceTree::instanceIdOf(std::uint32_t node) const {
    const std::optional<std::string> path = nodes_.pathOf(node);
    if (!path)
        return {};
    Lookups lookups;
    return instanceIdOf(*path, lookups);
}

std::optional<std::chrono::milliseconds> DeviceTree::connectedFor(std::uint32_t node) const {
    const std::optional<std::string> path = nodes_.pathOf(node);
    if (!path)
        return std::nullopt;
    for (std::string_view folder = *path; !folder.empty() && folder != "devices";
         folder = sysfs::parentOf(folder)) {
        if (kindOf(folder) != Kind::UsbDevice)
            continue;
        const std::optional<std::string> text = attribute(folder, "power/connected_duration");
        std::uint64_t ms = 0;
        if (!text || text->empty())
            return std::nullopt;
        const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), ms);
        if (error != std::errc() || end != text->data() + text->size())
            return std::nullopt;
        return std::chrono::milliseconds(
            static_cast<std::chrono::milliseconds::rep>(std::min<std::uint64_t>(ms, 1ull << 62)));
    }
    return std::nullopt;
}

bool DeviceTree::nodeExists(std::uint32_t node) const {
    const std::optional<std::string> path = nodes_.pathOf(node);
    return path && sysfs::isFolder(absolute(*path));
}
