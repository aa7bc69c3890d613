#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace phonesim {

// What a simulated USB device says of itself. vendorId and productId as sysfs holds them
// (lower-case hexadecimal); an empty serial, manufacturer or product leaves that attribute out.
struct UsbIdentity {
    std::string vendorId = "3c5f";
    std::string productId = "7d19";
    std::string serial;
    std::string manufacturer = "Korvanta";
    std::string product = "Z3";
    std::string deviceClass = "00";
    // How long the device has been connected, in milliseconds, as the kernel counts it
    // (power/connected_duration): ten minutes, long before any test looks.
    std::uint64_t connectedMs = 600000;
};

// A small sysfs tree and dev folder laid out as the kernel lays them out, with the USB phones,
// modems and other ttys a test or the demo needs. Point the device layer at sysfsRoot() and
// devRoot() (CONTAXIO_SYSFS_ROOT, CONTAXIO_DEV_ROOT). A modem's device node is a symbolic
// link to a simulated phone's port (Simulator::portPath()), so that what the enumeration finds
// can be opened and probed.
//
// The layout written (below sys/):
//   devices/pci0000:00/0000:00:14.0/usb1/              a root hub (idVendor 1d6b ...)
//     1-1/                                             a USB device: idVendor, idProduct,
//                                                      bDeviceClass, serial, manufacturer,
//                                                      product, busnum, devnum, uevent,
//                                                      power/connected_duration
//     1-1/1-1:1.0/                                     an interface: bInterfaceNumber,
//                                                      bInterfaceClass, ..., driver link
//     1-1/1-1:1.0/tty/ttyACM0/                         a CDC-ACM tty: dev, uevent (DEVNAME)
//     1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0/                 a USB serial converter's tty
//     1-3/1-3:1.0/host0/target0:0:0/0:0:0:0/           a mass-storage unit: vendor and model
//                                                      (space-padded), type, block/sda/
//   devices/platform/serial8250/tty/ttyS0/             a legacy serial port
//   devices/virtual/tty/tty1/                          a virtual console
//   class/tty/<tty>, bus/usb/devices/<device or interface>, bus/scsi/devices/<...>: relative
//   links to those folders; bus/*/drivers/<driver>: the drivers the driver links point to.
// Attribute files end in a newline. Device nodes in dev/ are links to the given ports, or
// empty regular files where no port is given.
//
// Not thread-safe: build and change the tree from one thread, while nothing enumerates it.
class SimulatedDeviceTree {
public:
    // A tree in a new folder below the system's temporary folder, removed with everything in it
    // by the destructor. Throws std::system_error when no folder can be made.
    SimulatedDeviceTree();

    // A tree in folder (made when missing), which the destructor leaves in place.
    explicit SimulatedDeviceTree(std::filesystem::path folder);

    ~SimulatedDeviceTree();
    SimulatedDeviceTree(const SimulatedDeviceTree&) = delete;
    SimulatedDeviceTree& operator=(const SimulatedDeviceTree&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& sysfsRoot() const { return sysfsRoot_; }
    const std::filesystem::path& devRoot() const { return devRoot_; }

    // The maker's phone with this serial ("" for none) and product ID.
    static UsbIdentity makersPhone(const std::string& serial = "",
                                   const std::string& productId = "7d19");

    // The USB identity of another maker's phone: vendor 1f6e, product 4c20, "Nordlicht" and
    // "NL-200", with this serial ("" for none).
    static UsbIdentity otherMakersPhone(const std::string& serial = "NL200A0000001");

    // A USB device plugged into the next free port (fifteen per bus, then the next bus). Returns
    // its name, e.g. "1-3", which the calls below take.
    std::string addUsbDevice(const UsbIdentity& identity);

    // An interface of device with a class (two hexadecimal digits, e.g. "ff") and a bound driver
    // ("" for none). Returns its name, e.g. "1-3:1.0".
    std::string addInterface(const std::string& device, const std::string& interfaceClass,
                             const std::string& driver);

    // A CDC-ACM modem function of device: a control interface (class 02) holding ttyACM<n> and
    // a data interface (class 0a), both bound to cdc_acm. The tty's device node links to port
    // (an empty file when port is empty). Returns its device path (dev root + "/ttyACM<n>").
    std::string addAcmModem(const std::string& device, const std::string& port);

    // A USB serial converter's port on device: an interface (class ff) bound to driver and
    // ttyUSB<n> below it. Returns its device path.
    std::string addSerialConverterPort(const std::string& device, const std::string& port,
                                       const std::string& driver = "pl2303");

    // A mass-storage function of device: an interface (class 08) bound to usb-storage with a
    // SCSI unit below it (vendor and model padded to 8 and 16 characters; type 0 a disk, 5 a
    // CD-ROM) and its block device. Returns the unit's folder relative to the sysfs root.
    std::string addMassStorage(const std::string& device, const std::string& vendor,
                               const std::string& model, int type = 0);

    // Whole devices, as tests and the demo use them; each returns the USB device's name.
    // The maker's phone in modem mode: a composite device (class ef) with a CDC-ACM modem whose
    // node links to port; devicePath (when given) receives the modem's device path.
    std::string addModemPhone(const std::string& port, const UsbIdentity& identity = {},
                              std::string* devicePath = nullptr);
    // The maker's phone with no driver for its function (a vendor interface, nothing bound).
    std::string addDriverlessPhone(const UsbIdentity& identity = {});
    // The maker's phone switched to USB mass storage: a disk from "KORVANTA".
    std::string addMassStoragePhone(const UsbIdentity& identity = {});
    // Another vendor's USB modem (vendor 2b7e) whose node links to port.
    std::string addOtherVendorModem(const std::string& port, std::string* devicePath = nullptr);
    // A phone of another maker (see otherMakersPhone) in modem mode: a composite device with a
    // CDC-ACM modem whose node links to port; devicePath (when given) receives its device path.
    std::string addOtherMakersPhone(const std::string& port,
                                    const UsbIdentity& identity = otherMakersPhone(),
                                    std::string* devicePath = nullptr);

    // A legacy serial port (ttyS<n>) and a virtual console (tty<n>); each returns its device path.
    std::string addLegacySerialPort();
    std::string addVirtualConsole();

    // Unplugs a USB device: its folders (interfaces, ttys, disks), every link to them and the
    // device nodes of its ttys go.
    void removeUsbDevice(const std::string& device);

    // The folder of a USB device or interface relative to the sysfs root; empty when unknown.
    std::string pathOf(const std::string& name) const;

private:
    struct Device {
        std::string path;                          // relative to the sysfs root
        int nextInterface = 0;                     // bInterfaceNumber of the next interface
        std::vector<std::filesystem::path> links;  // absolute; removed with the device
        std::vector<std::filesystem::path> nodes;  // device nodes in dev/
    };

    void makeSkeleton();
    std::filesystem::path sys(const std::string& relative) const { return sysfsRoot_ / relative; }
    void write(const std::string& relative, const std::string& content) const;
    void link(const std::string& linkRelative, const std::string& targetRelative) const;
    std::string driverFolder(const std::string& bus, const std::string& driver) const;
    void addRootHub(int bus);
    std::string addTty(const std::string& parentRelative, const std::string& name, int major,
                       int minor, const std::string& port, Device* owner);
    Device& device(const std::string& name);

    std::filesystem::path folder_;
    std::filesystem::path sysfsRoot_;
    std::filesystem::path devRoot_;
    bool removeAtEnd_ = false;

    std::map<std::string, Device> devices_;
    std::map<std::string, std::string> interfaces_;  // name -> path
    int usbDeviceCount_ = 0;
    int busesMade_ = 0;
    int nextAcm_ = 0;
    int nextUsbSerial_ = 0;
    int nextLegacySerial_ = 0;
    int nextConsole_ = 1;
    int nextScsiHost_ = 0;
    int nextDisk_ = 0;
};

}  // namespace phonesim
