#include "phonesim/SimulatedDeviceTree.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace phonesim {

namespace fs = std::filesystem;

namespace {

constexpr int kPortsPerBus = 15;

std::string hex2(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x", value & 0xFF);
    return text;
}

std::string padded(const std::string& text, std::size_t width) {
    std::string result = text.substr(0, width);
    result.resize(width, ' ');
    return result;
}

fs::path makeTemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "contaxio-devices-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    return pattern;
}

}  // namespace

SimulatedDeviceTree::SimulatedDeviceTree() : SimulatedDeviceTree(makeTemporaryFolder()) {
    removeAtEnd_ = true;
}

SimulatedDeviceTree::SimulatedDeviceTree(fs::path folder)
    : folder_(std::move(folder)), sysfsRoot_(folder_ / "sys"), devRoot_(folder_ / "dev") {
    makeSkeleton();
}

SimulatedDeviceTree::~SimulatedDeviceTree() {
    if (removeAtEnd_) {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
}

UsbIdentity SimulatedDeviceTree::makersPhone(const std::string& serial,
                                             const std::string& productId) {
    UsbIdentity identity;
    identity.serial = serial;
    identity.productId = productId;
    return identity;
}

void SimulatedDeviceTree::makeSkeleton() {
    for (const char* folder :
         {"class/tty", "class/block", "bus/usb/devices", "bus/usb/drivers",
          "bus/usb-serial/devices", "bus/usb-serial/drivers", "bus/scsi/devices",
          "bus/scsi/drivers", "devices/virtual/tty", "devices/platform"})
        fs::create_directories(sysfsRoot_ / folder);
    fs::create_directories(devRoot_);
}

void SimulatedDeviceTree::write(const std::string& relative, const std::string& content) const {
    const fs::path path = sys(relative);
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (content.empty() || content.back() != '\n')
        file << '\n';
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void SimulatedDeviceTree::link(const std::string& linkRelative,
                               const std::string& targetRelative) const {
    const fs::path linkPath(linkRelative);
    const fs::path target = fs::path(targetRelative).lexically_relative(linkPath.parent_path());
    fs::create_directories(sys(linkRelative).parent_path());
    fs::remove(sys(linkRelative));
    fs::create_symlink(target, sys(linkRelative));
}

std::string SimulatedDeviceTree::driverFolder(const std::string& bus,
                                              const std::string& driver) const {
    const std::string folder = "bus/" + bus + "/drivers/" + driver;
    fs::create_directories(sys(folder));
    return folder;
}

std::string SimulatedDeviceTree::pathOf(const std::string& name) const {
    if (const auto found = devices_.find(name); found != devices_.end())
        return found->second.path;
    if (const auto found = interfaces_.find(name); found != interfaces_.end())
        return found->second;
    return {};
}

SimulatedDeviceTree::Device& SimulatedDeviceTree::device(const std::string& name) {
    const auto found = devices_.find(name);
    if (found == devices_.end())
        throw std::invalid_argument("no USB device " + name + " in the tree");
    return found->second;
}

void SimulatedDeviceTree::addRootHub(int bus) {
    const std::string controller = "devices/pci0000:00/0000:00:" + hex2(0x14 + bus - 1) + ".0";
    const std::string name = "usb" + std::to_string(bus);
    const std::string hub = controller + "/" + name;
    write(hub + "/idVendor", "1d6b");
    write(hub + "/idProduct", "0002");
    write(hub + "/bDeviceClass", "09");
    write(hub + "/serial", "0000:00:" + hex2(0x14 + bus - 1) + ".0");
    write(hub + "/product", "xHCI Host Controller");
    write(hub + "/busnum", std::to_string(bus));
    write(hub + "/devnum", "1");
    write(hub + "/uevent",
          "DEVTYPE=usb_device\nDRIVER=usb\nPRODUCT=1d6b/2/601\nTYPE=9/0/1\n"
          "BUSNUM=00" +
              std::to_string(bus) + "\nDEVNUM=001\n");
    link(hub + "/subsystem", "bus/usb");
    link(hub + "/driver", driverFolder("usb", "usb"));
    link("bus/usb/devices/" + name, hub);

    const std::string interface = hub + "/" + std::to_string(bus) + "-0:1.0";
    write(interface + "/bInterfaceNumber", "00");
    write(interface + "/bInterfaceClass", "09");
    write(interface + "/uevent", "DEVTYPE=usb_interface\nDRIVER=hub\nINTERFACE=9/0/0\n");
    link(interface + "/subsystem", "bus/usb");
    link(interface + "/driver", driverFolder("usb", "hub"));
    link("bus/usb/devices/" + std::to_string(bus) + "-0:1.0", interface);
    busesMade_ = bus;
}

std::string SimulatedDeviceTree::addUsbDevice(const UsbIdentity& identity) {
    const int index = usbDeviceCount_++;
    const int bus = index / kPortsPerBus + 1;
    const int port = index % kPortsPerBus + 1;
    while (busesMade_ < bus)
        addRootHub(busesMade_ + 1);
    const std::string name = std::to_string(bus) + "-" + std::to_string(port);
    const std::string path = "devices/pci0000:00/0000:00:" + hex2(0x14 + bus - 1) + ".0/usb" +
                             std::to_string(bus) + "/" + name;
    write(path + "/idVendor", identity.vendorId);
    write(path + "/idProduct", identity.productId);
    write(path + "/bDeviceClass", identity.deviceClass);
    write(path + "/bDeviceSubClass", "00");
    write(path + "/bDeviceProtocol", "00");
    write(path + "/bcdDevice", "0100");
    write(path + "/bConfigurationValue", "1");
    write(path + "/bNumConfigurations", "1");
    write(path + "/busnum", std::to_string(bus));
    write(path + "/devnum", std::to_string(port + 1));
    write(path + "/speed", "480");
    write(path + "/power/connected_duration", std::to_string(identity.connectedMs));
    if (!identity.serial.empty())
        write(path + "/serial", identity.serial);
    if (!identity.manufacturer.empty())
        write(path + "/manufacturer", identity.manufacturer);
    if (!identity.product.empty())
        write(path + "/product", identity.product);
    char devnum[8];
    std::snprintf(devnum, sizeof devnum, "%03d", port + 1);
    write(path + "/uevent", "MAJOR=189\nMINOR=" + std::to_string(index + 1) +
                                "\nDEVNAME=bus/usb/00" + std::to_string(bus) + "/" + devnum +
                                "\nDEVTYPE=usb_device\nDRIVER=usb\nPRODUCT=" + identity.vendorId +
                                "/" + identity.productId + "/100\nTYPE=0/0/0\n");
    link(path + "/subsystem", "bus/usb");
    link(path + "/driver", driverFolder("usb", "usb"));
    Device& record = devices_[name];
    record.path = path;
    link("bus/usb/devices/" + name, path);
    record.links.push_back(sys("bus/usb/devices/" + name));
    return name;
}

std::string SimulatedDeviceTree::addInterface(const std::string& deviceName,
                                              const std::string& interfaceClass,
                                              const std::string& driver) {
    Device& owner = device(deviceName);
    const int number = owner.nextInterface++;
    const std::string name = deviceName + ":1." + std::to_string(number);
    const std::string path = owner.path + "/" + name;
    write(path + "/bInterfaceNumber", hex2(number));
    write(path + "/bAlternateSetting", " 0");
    write(path + "/bInterfaceClass", interfaceClass);
    write(path + "/bInterfaceSubClass", "00");
    write(path + "/bInterfaceProtocol", "00");
    write(path + "/bNumEndpoints", "02");
    std::string uevent = "DEVTYPE=usb_interface\n";
    if (!driver.empty())
        uevent += "DRIVER=" + driver + "\n";
    uevent += "INTERFACE=" + std::to_string(std::stoi(interfaceClass, nullptr, 16)) + "/0/0\n";
    write(path + "/uevent", uevent);
    link(path + "/subsystem", "bus/usb");
    if (!driver.empty())
        link(path + "/driver", driverFolder("usb", driver));
    link("bus/usb/devices/" + name, path);
    owner.links.push_back(sys("bus/usb/devices/" + name));
    interfaces_[name] = path;
    return name;
}

std::string SimulatedDeviceTree::addTty(const std::string& parentRelative, const std::string& name,
                                        int major, int minor, const std::string& port,
                                        Device* owner) {
    const std::string path = parentRelative + "/tty/" + name;
    write(path + "/dev", std::to_string(major) + ":" + std::to_string(minor));
    write(path + "/uevent", "MAJOR=" + std::to_string(major) + "\nMINOR=" + std::to_string(minor) +
                                "\nDEVNAME=" + name + "\n");
    link(path + "/subsystem", "class/tty");
    if (parentRelative != "devices/virtual")
        link(path + "/device", parentRelative);
    link("class/tty/" + name, path);

    const fs::path node = devRoot_ / name;
    fs::remove(node);
    if (port.empty())
        std::ofstream(node, std::ios::binary);
    else
        fs::create_symlink(port, node);
    if (owner != nullptr) {
        owner->links.push_back(sys("class/tty/" + name));
        owner->nodes.push_back(node);
    }
    return node.string();
}

std::string SimulatedDeviceTree::addAcmModem(const std::string& deviceName,
                                             const std::string& port) {
    Device& owner = device(deviceName);
    const std::string control = addInterface(deviceName, "02", "cdc_acm");
    addInterface(deviceName, "0a", "cdc_acm");
    const int number = nextAcm_++;
    return addTty(interfaces_[control], "ttyACM" + std::to_string(number), 166, number, port,
                  &owner);
}

std::string SimulatedDeviceTree::addSerialConverterPort(const std::string& deviceName,
                                                        const std::string& port,
                                                        const std::string& driver) {
    Device& owner = device(deviceName);
    const std::string interface = addInterface(deviceName, "ff", driver);
    const int number = nextUsbSerial_++;
    const std::string name = "ttyUSB" + std::to_string(number);
    const std::string serialPort = interfaces_[interface] + "/" + name;
    write(serialPort + "/port_number", "0");
    write(serialPort + "/uevent", "DRIVER=" + driver + "\n");
    link(serialPort + "/subsystem", "bus/usb-serial");
    link(serialPort + "/driver", driverFolder("usb-serial", driver));
    link("bus/usb-serial/devices/" + name, serialPort);
    owner.links.push_back(sys("bus/usb-serial/devices/" + name));
    return addTty(serialPort, name, 188, number, port, &owner);
}

std::string SimulatedDeviceTree::addMassStorage(const std::string& deviceName,
                                                const std::string& vendor, const std::string& model,
                                                int type) {
    Device& owner = device(deviceName);
    const std::string interface = addInterface(deviceName, "08", "usb-storage");
    const std::string host = std::to_string(nextScsiHost_++);
    const std::string hostPath = interfaces_[interface] + "/host" + host;
    write(hostPath + "/uevent", "DEVTYPE=scsi_host\n");
    link(hostPath + "/subsystem", "bus/scsi");
    const std::string targetName = "target" + host + ":0:0";
    const std::string targetPath = hostPath + "/" + targetName;
    write(targetPath + "/uevent", "DEVTYPE=scsi_target\n");
    link(targetPath + "/subsystem", "bus/scsi");
    const std::string unitName = host + ":0:0:0";
    const std::string unit = targetPath + "/" + unitName;
    const bool cdrom = type == 5;
    write(unit + "/vendor", padded(vendor, 8));
    write(unit + "/model", padded(model, 16));
    write(unit + "/rev", "1.00");
    write(unit + "/type", std::to_string(type));
    write(unit + "/state", "running");
    write(unit + "/uevent", std::string("DEVTYPE=scsi_device\nDRIVER=") + (cdrom ? "sr" : "sd") +
                                "\nMODALIAS=scsi:t-0x0" + std::to_string(type) + "\n");
    link(unit + "/subsystem", "bus/scsi");
    link(unit + "/driver", driverFolder("scsi", cdrom ? "sr" : "sd"));

    const int disk = nextDisk_++;
    const std::string block = cdrom ? "sr" + std::to_string(disk)
                                    : std::string("sd") + static_cast<char>('a' + disk % 26);
    const std::string blockPath = unit + "/block/" + block;
    write(blockPath + "/dev", std::string(cdrom ? "11" : "8") + ":" + std::to_string(disk * 16));
    write(blockPath + "/size", "0");
    write(blockPath + "/uevent", "MAJOR=" + std::string(cdrom ? "11" : "8") +
                                     "\nMINOR=" + std::to_string(disk * 16) + "\nDEVNAME=" + block +
                                     "\nDEVTYPE=disk\n");
    link(blockPath + "/subsystem", "class/block");
    link("class/block/" + block, blockPath);
    owner.links.push_back(sys("class/block/" + block));

    for (const auto& [name, path] :
         {std::pair{"host" + host, hostPath}, std::pair{targetName, targetPath},
          std::pair{unitName, unit}}) {
        link("bus/scsi/devices/" + name, path);
        owner.links.push_back(sys("bus/scsi/devices/" + name));
    }
    return unit;
}

std::string SimulatedDeviceTree::addModemPhone(const std::string& port, const UsbIdentity& identity,
                                               std::string* devicePath) {
    UsbIdentity composite = identity;
    if (composite.deviceClass == "00")
        composite.deviceClass = "ef";  // a composite device with interface associations
    const std::string name = addUsbDevice(composite);
    const std::string path = addAcmModem(name, port);
    if (devicePath != nullptr)
        *devicePath = path;
    return name;
}

std::string SimulatedDeviceTree::addDriverlessPhone(const UsbIdentity& identity) {
    const std::string name = addUsbDevice(identity);
    addInterface(name, "ff", "");
    return name;
}

std::string SimulatedDeviceTree::addMassStoragePhone(const UsbIdentity& identity) {
    const std::string name = addUsbDevice(identity);
    addMassStorage(name, "KORVANTA", "Z3 Storage");
    return name;
}

std::string SimulatedDeviceTree::addOtherVendorModem(const std::string& port,
                                                     std::string* devicePath) {
    UsbIdentity other;
    other.vendorId = "2b7e";
    other.productId = "0101";
    other.manufacturer = "Example Modems";
    other.product = "USB Modem";
    other.deviceClass = "02";
    const std::string name = addUsbDevice(other);
    const std::string path = addAcmModem(name, port);
    if (devicePath != nullptr)
        *devicePath = path;
    return name;
}

UsbIdentity SimulatedDeviceTree::otherMakersPhone(const std::string& serial) {
    UsbIdentity identity;
    identity.vendorId = "1f6e";
    identity.productId = "4c20";
    identity.serial = serial;
    identity.manufacturer = "Nordlicht";
    identity.product = "NL-200";
    return identity;
}

std::string SimulatedDeviceTree::addOtherMakersPhone(const std::string& port,
                                                     const UsbIdentity& identity,
                                                     std::string* devicePath) {
    // Laid out as the maker's phone is; only what the device says of itself differs.
    return addModemPhone(port, identity, devicePath);
}

std::string SimulatedDeviceTree::addLegacySerialPort() {
    const int number = nextLegacySerial_++;
    write("devices/platform/serial8250/uevent", "DRIVER=serial8250\n");
    return addTty("devices/platform/serial8250", "ttyS" + std::to_string(number), 4, 64 + number,
                  "", nullptr);
}

std::string SimulatedDeviceTree::addVirtualConsole() {
    const int number = nextConsole_++;
    return addTty("devices/virtual", "tty" + std::to_string(number), 4, number, "", nullptr);
}

void SimulatedDeviceTree::removeUsbDevice(const std::string& deviceName) {
    Device& owner = device(deviceName);
    fs::remove_all(sys(owner.path));
    for (const fs::path& path : owner.links)
        fs::remove(path);
    for (const fs::path& path : owner.nodes)
        fs::remove(path);
    const std::string prefix = deviceName + ":";
    std::erase_if(interfaces_, [&](const auto& entry) { return entry.first.starts_with(prefix); });
    devices_.erase(deviceName);
}

}  // namespace phonesim
