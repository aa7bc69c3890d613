#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CollectingDeviceSink.h"
#include "OpenWatch.h"
#include "charsets/TextCodec.h"
#include "devices/DeviceNodeTable.h"
#include "devices/DeviceTree.h"
#include "devices/UsbInstanceIds.h"
#include "phonesim/SimulatedDeviceTree.h"

namespace {

namespace fs = std::filesystem;
using phonesim::SimulatedDeviceTree;
using phonesim::UsbIdentity;

std::string utf8(const std::u16string& text) {
    return text_codec::toUtf8(text);
}

class DeviceTreeTest : public ::testing::Test {
protected:
    DeviceTree tree() const { return DeviceTree({sim.sysfsRoot(), sim.devRoot()}); }

    std::string devicePath(const std::string& name) const {
        return (sim.devRoot() / name).string();
    }

    void overwrite(const std::string& relative, const std::string& content) const {
        std::ofstream(sim.sysfsRoot() / relative, std::ios::trunc) << content;
    }

    SimulatedDeviceTree sim;
};

TEST_F(DeviceTreeTest, TheModemPassReportsUsbTtysOnlyWithPathVendorAndRoot) {
    const std::string phone =
        sim.addModemPhone("", phonesim::SimulatedDeviceTree::makersPhone("Z3SN0042"));
    sim.addLegacySerialPort();
    sim.addVirtualConsole();
    sim.addOtherVendorModem("");
    UsbIdentity converter;
    converter.vendorId = "067b";
    converter.productId = "2303";
    sim.addSerialConverterPort(sim.addUsbDevice(converter), "");
    sim.addLegacySerialPort();

    DeviceTree devices = tree();
    CollectingDeviceSink sink;
    devices.findModems(sink);

    ASSERT_EQ(sink.records.size(), 3u);
    const DEVICE_INFO_EX& makers = sink.records[0];
    EXPECT_EQ(utf8(makers.devicePath), devicePath("ttyACM0"));
    EXPECT_EQ(makers.vendorId, u"3C5F");
    EXPECT_EQ(makers.state, DeviceState::Found);
    EXPECT_EQ(makers.retriesLeft, 10);
    EXPECT_TRUE(makers.imei.empty() && makers.model.empty());
    EXPECT_EQ(devices.pathOf(makers.device), sim.pathOf(phone + ":1.0") + "/tty/ttyACM0");
    // The interfaces of the phone share their USB device as root.
    EXPECT_EQ(devices.instanceIdOf(makers.rootDevice), "USB\\VID_3C5F&PID_7D19\\Z3SN0042");

    const DEVICE_INFO_EX& other = sink.records[1];
    EXPECT_EQ(utf8(other.devicePath), devicePath("ttyACM1"));
    EXPECT_EQ(other.vendorId, u"2B7E");
    EXPECT_EQ(other.rootDevice, other.device);  // its parent is not the maker's

    const DEVICE_INFO_EX& usbSerial = sink.records[2];
    EXPECT_EQ(utf8(usbSerial.devicePath), devicePath("ttyUSB0"));
    EXPECT_EQ(usbSerial.vendorId, u"067B");
    EXPECT_EQ(devices.instanceIdOf(devices.parentOf(usbSerial.device)),
              "USB\\VID_067B&PID_2303&MI_00\\1-3&00");
}

TEST_F(DeviceTreeTest, OtherUsbSerialPortsAreListedWithWhatSysfsSaysAndNeverOpened) {
    sim.addModemPhone("", SimulatedDeviceTree::makersPhone("Z3SN0042"));
    std::string phonePath;
    const std::string phone =
        sim.addOtherMakersPhone("", SimulatedDeviceTree::otherMakersPhone("NL200X1"), &phonePath);
    std::string modemPath;
    sim.addOtherVendorModem("", &modemPath);
    UsbIdentity board;  // a board whose strings try to steer a terminal
    board.vendorId = "0403";
    board.productId = "6001";
    board.manufacturer = "Tinker\x1b[31m";
    board.product = "UART";
    const std::string boardPath =
        sim.addSerialConverterPort(sim.addUsbDevice(board), "", "ftdi_sio");
    sim.addLegacySerialPort();
    sim.addVirtualConsole();
    std::vector<std::unique_ptr<test_support::OpenWatch>> watches;
    for (const std::string& node : {phonePath, modemPath, boardPath})
        watches.push_back(std::make_unique<test_support::OpenWatch>(node));

    DeviceTree devices = tree();
    const std::vector<UsbSerialPort> ports = devices.findOtherUsbSerialPorts();
    ASSERT_EQ(ports.size(), 3u);

    const UsbSerialPort& other = ports[0];
    EXPECT_EQ(utf8(other.found.devicePath), phonePath);
    EXPECT_EQ(other.found.vendorId, u"1F6E");
    EXPECT_EQ(other.found.state, DeviceState::Found);
    EXPECT_EQ(other.found.rootDevice, other.found.device);
    EXPECT_EQ(devices.pathOf(other.found.device), sim.pathOf(phone + ":1.0") + "/tty/ttyACM1");
    EXPECT_EQ(other.ttyName, u"ttyACM1");
    EXPECT_EQ(other.vendorId, u"1f6e");
    EXPECT_EQ(other.productId, u"4c20");
    EXPECT_EQ(other.manufacturer, u"Nordlicht");
    EXPECT_EQ(other.product, u"NL-200");
    EXPECT_EQ(other.serial, u"NL200X1");
    EXPECT_EQ(other.driver, u"cdc_acm");
    EXPECT_EQ(other.usbPort, text_codec::fromUtf8(phone));
    EXPECT_EQ(other.interfaceNumber, u"00");

    EXPECT_EQ(utf8(ports[1].found.devicePath), modemPath);
    EXPECT_EQ(ports[1].manufacturer, u"Example Modems");
    EXPECT_TRUE(ports[1].serial.empty());

    const UsbSerialPort& converter = ports[2];
    EXPECT_EQ(utf8(converter.found.devicePath), boardPath);
    EXPECT_EQ(converter.ttyName, u"ttyUSB0");
    EXPECT_EQ(converter.driver, u"ftdi_sio");
    EXPECT_EQ(converter.manufacturer, u"Tinker\uFFFD[31m");
    EXPECT_EQ(converter.product, u"UART");

    for (const auto& watch : watches)
        EXPECT_FALSE(watch->opened());
}

TEST_F(DeviceTreeTest, ANamedPortIsPlacedByTheTtyItLeadsTo) {
    std::string makersPath;
    sim.addModemPhone("", SimulatedDeviceTree::makersPhone("Z3SN0042"), &makersPath);
    std::string otherPath;
    sim.addOtherMakersPhone("", SimulatedDeviceTree::otherMakersPhone(), &otherPath);
    const std::string legacy = sim.addLegacySerialPort();
    const fs::path byId = sim.devRoot() / "serial/by-id/usb-Nordlicht_NL-200_NL200A0000001-if00";
    fs::create_directories(byId.parent_path());
    fs::create_symlink("../../ttyACM1", byId);
    const fs::path elsewhere = sim.folder() / "phone";
    fs::create_symlink(byId, elsewhere);
    const fs::path loop = sim.folder() / "loop";
    fs::create_symlink(sim.folder() / "loop2", loop);
    fs::create_symlink(loop, sim.folder() / "loop2");

    DeviceTree devices = tree();
    CollectingDeviceSink sink;
    devices.findModems(sink);
    ASSERT_EQ(sink.records.size(), 2u);

    const auto makers = devices.modemRecordOf(text_codec::fromUtf8(makersPath));
    ASSERT_TRUE(makers);
    EXPECT_EQ(*makers, sink.records[0]);
    for (const fs::path& named : {fs::path(otherPath), byId, elsewhere}) {
        SCOPED_TRACE(named.string());
        const auto other = devices.modemRecordOf(text_codec::fromUtf8(named.string()));
        ASSERT_TRUE(other);
        EXPECT_EQ(utf8(other->devicePath), named.string());
        EXPECT_EQ(other->vendorId, u"1F6E");
        EXPECT_EQ(other->device, sink.records[1].device);
    }
    for (const std::string& unplaced : {legacy, std::string("/dev/pts/999"),
                                        (sim.devRoot() / "ttyACM7").string(), loop.string()}) {
        SCOPED_TRACE(unplaced);
        EXPECT_FALSE(devices.modemRecordOf(text_codec::fromUtf8(unplaced)));
    }
}

TEST_F(DeviceTreeTest, TheDevicePathComesFromDevnameWhenItIsSafe) {
    sim.addModemPhone("");
    sim.addModemPhone("");
    sim.addModemPhone("");
    const std::string tty0 = sim.pathOf("1-1:1.0") + "/tty/ttyACM0/uevent";
    const std::string tty1 = sim.pathOf("1-2:1.0") + "/tty/ttyACM1/uevent";
    const std::string tty2 = sim.pathOf("1-3:1.0") + "/tty/ttyACM2/uevent";
    overwrite(tty0, "MAJOR=166\nMINOR=0\nDEVNAME=serial/phone0\n");
    overwrite(tty1, "MAJOR=166\nMINOR=1\n");                            // no DEVNAME: the name
    overwrite(tty2, "MAJOR=166\nMINOR=2\nDEVNAME=../../etc/passwd\n");  // never above the root

    CollectingDeviceSink sink;
    tree().findModems(sink);
    ASSERT_EQ(sink.records.size(), 3u);
    EXPECT_EQ(utf8(sink.records[0].devicePath), devicePath("serial/phone0"));
    EXPECT_EQ(utf8(sink.records[1].devicePath), devicePath("ttyACM1"));
    EXPECT_EQ(utf8(sink.records[2].devicePath), devicePath("ttyACM2"));
}

TEST_F(DeviceTreeTest, TheSecondPassTellsDriverlessDevicesFromOtherModesAndIgnoresOtherVendors) {
    const std::string modem = sim.addModemPhone("");
    const std::string driverless = sim.addDriverlessPhone();
    const std::string storage =
        sim.addMassStoragePhone(SimulatedDeviceTree::makersPhone("", "7d1a"));
    sim.addOtherVendorModem("");
    UsbIdentity stick;  // another vendor's USB stick
    stick.vendorId = "0951";
    stick.productId = "1666";
    sim.addMassStorage(sim.addUsbDevice(stick), "Generic", "Flash Disk");

    DeviceTree devices = tree();
    CollectingDeviceSink sink;
    devices.FindOtherZuvoDevices(sink);

    struct Expected {
        std::string id;
        DeviceState state;
        std::string root;
    };
    const std::string modemRoot = "USB\\VID_3C5F&PID_7D19\\" + modem;
    const std::string driverlessRoot = "USB\\VID_3C5F&PID_7D19\\" + driverless;
    const std::string storageRoot = "USB\\VID_3C5F&PID_7D1A\\" + storage;
    const std::vector<Expected> expected{
        {modemRoot, DeviceState::OtherMode, modemRoot},
        {"USB\\VID_3C5F&PID_7D19&MI_00\\1-1&00", DeviceState::OtherMode, modemRoot},
        {"USB\\VID_3C5F&PID_7D19&MI_01\\1-1&01", DeviceState::OtherMode, modemRoot},
        {driverlessRoot, DeviceState::NoDriver, driverlessRoot},
        {"USB\\VID_3C5F&PID_7D19&MI_00\\1-2&00", DeviceState::NoDriver, driverlessRoot},
        {storageRoot, DeviceState::OtherMode, storageRoot},
        {"USB\\VID_3C5F&PID_7D1A&MI_00\\1-3&00", DeviceState::OtherMode, storageRoot},
        {"USBSTOR\\DISK&VEN_KORVANTA&PROD_Z3_STORAGE\\1-3&0", DeviceState::OtherMode, storageRoot},
    };
    ASSERT_EQ(sink.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DEVICE_INFO_EX& record = sink.records[i];
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(devices.instanceIdOf(record.device), expected[i].id);
        EXPECT_EQ(record.state, expected[i].state);
        EXPECT_EQ(devices.instanceIdOf(record.rootDevice), expected[i].root);
        EXPECT_TRUE(record.devicePath.empty() && record.vendorId.empty());
        EXPECT_EQ(record.retriesLeft, 10);
    }
}

TEST_F(DeviceTreeTest, ADiskSitsBelowItsInterfaceAndItsVendorCountsOnlyOnTheScsiBus) {
    UsbIdentity reader;  // another vendor's card reader holding the maker's card
    reader.vendorId = "05e3";
    reader.productId = "0751";
    reader.serial = "000000001206";
    const std::string readerName = sim.addUsbDevice(reader);
    const std::string unit = sim.addMassStorage(readerName, "Korvanta", "Memory Card", 5);
    // A folder with a vendor file that is not a SCSI unit (a PCI function, say).
    const std::string fake = sim.addMassStorage(sim.addUsbDevice(reader), "KORVANTA", "Z3");
    fs::remove(sim.sysfsRoot() / fake / "subsystem");
    fs::create_directory_symlink("../../../../../../../../../bus/pci",
                                 sim.sysfsRoot() / fake / "subsystem");

    DeviceTree devices = tree();
    CollectingDeviceSink sink;
    devices.FindOtherZuvoDevices(sink);

    ASSERT_EQ(sink.records.size(), 1u);
    const DEVICE_INFO_EX& card = sink.records[0];
    EXPECT_EQ(devices.pathOf(card.device), unit);
    EXPECT_EQ(devices.instanceIdOf(card.device),
              "USBSTOR\\CDROM&VEN_KORVANTA&PROD_MEMORY_CARD\\000000001206&0");
    EXPECT_EQ(card.state, DeviceState::OtherMode);
    EXPECT_EQ(card.rootDevice, card.device);  // the reader above it is not the maker's

    // The walk goes disk -> interface -> device -> root hub -> nothing.
    const std::uint32_t interface = devices.parentOf(card.device);
    EXPECT_EQ(devices.pathOf(interface), sim.pathOf(readerName + ":1.0"));
    const std::uint32_t device = devices.parentOf(interface);
    EXPECT_EQ(devices.pathOf(device), sim.pathOf(readerName));
    const std::uint32_t hub = devices.parentOf(device);
    EXPECT_EQ(devices.instanceIdOf(hub), "USB\\VID_1D6B&PID_0002\\0000:00:14.0");
    EXPECT_EQ(devices.parentOf(hub), 0u);
}

TEST_F(DeviceTreeTest, TheFirstPassThrowsWithoutTtysAndTheSecondIsQuietWithoutAUsbBus) {
    sim.addDriverlessPhone();
    fs::remove_all(sim.sysfsRoot() / "class/tty");
    CollectingDeviceSink sink;
    DeviceTree devices = tree();
    EXPECT_THROW(devices.findModems(sink), std::runtime_error);
    EXPECT_TRUE(sink.records.empty());

    fs::remove_all(sim.sysfsRoot() / "bus/usb");
    ::testing::internal::CaptureStderr();
    devices.FindOtherZuvoDevices(sink);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(sink.records.empty());

    // A bus folder that cannot be listed is said on the error stream, not on the output.
    fs::create_directories(sim.sysfsRoot() / "bus/usb");
    std::ofstream(sim.sysfsRoot() / "bus/usb/devices") << "not a folder";
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    devices.FindOtherZuvoDevices(sink);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("FindOtherZuvoDevices"),
              std::string::npos);
    EXPECT_TRUE(sink.records.empty());
}

TEST_F(DeviceTreeTest, NodesStayTheSameAndExistWhileTheirFolderDoes) {
    const std::string phone = sim.addDriverlessPhone();
    DeviceTree devices = tree();
    CollectingDeviceSink first;
    devices.FindOtherZuvoDevices(first);
    CollectingDeviceSink second;
    devices.FindOtherZuvoDevices(second);
    ASSERT_EQ(first.records.size(), 2u);
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_EQ(first.records[0].device, second.records[0].device);
    EXPECT_EQ(first.records[1].device, second.records[1].device);
    EXPECT_NE(first.records[0].device, first.records[1].device);
    EXPECT_NE(first.records[0].device, 0u);
    EXPECT_TRUE(devices.nodeExists(first.records[1].device));

    sim.removeUsbDevice(phone);
    EXPECT_FALSE(devices.nodeExists(first.records[0].device));
    EXPECT_FALSE(devices.nodeExists(first.records[1].device));
    EXPECT_FALSE(devices.nodeExists(0));
    EXPECT_FALSE(devices.nodeExists(12345));
    CollectingDeviceSink after;
    devices.FindOtherZuvoDevices(after);
    EXPECT_TRUE(after.records.empty());
}

TEST(DeviceNodeTableTest, NumbersAreGivenOnceFromOne) {
    DeviceNodeTable table;
    const std::uint32_t a = table.nodeOf("devices/a");
    const std::uint32_t b = table.nodeOf("devices/b");
    EXPECT_EQ(a, 1u);
    EXPECT_EQ(b, 2u);
    EXPECT_EQ(table.nodeOf("devices/a"), a);
    EXPECT_EQ(table.pathOf(b), "devices/b");
    EXPECT_FALSE(table.pathOf(0));
    EXPECT_FALSE(table.pathOf(3));
}

TEST(UsbInstanceIdsTest, IdsHoldOnlyWhatAnIdCanHold) {
    EXPECT_EQ(usbDeviceInstanceId("3c5f", "7d19", "Z3SN0042"), "USB\\VID_3C5F&PID_7D19\\Z3SN0042");
    EXPECT_EQ(usbDeviceInstanceId("3c5", "7d19", "1-2"), "");   // not four digits
    EXPECT_EQ(usbDeviceInstanceId("3c5g", "7d19", "1-2"), "");  // not hexadecimal
    EXPECT_EQ(usbInterfaceInstanceId("3c5f", "7d19", "0a", "1-2"),
              "USB\\VID_3C5F&PID_7D19&MI_0A\\1-2&0A");
    EXPECT_EQ(usbInterfaceInstanceId("3c5f", "7d19", "", "1-2"), "");
    EXPECT_EQ(usbStorageInstanceId(false, "Korvanta", "Z3 Storage", "1-3", "0"),
              "USBSTOR\\DISK&VEN_KORVANTA&PROD_Z3_STORAGE\\1-3&0");
    EXPECT_EQ(usbStorageInstanceId(false, "A\\B&C", "\xC3\xA9t\xC3\xA9", "1-3", "0"),
              "USBSTOR\\DISK&VEN_A_B_C&PROD___T__\\1-3&0");  // the ID keeps its shape
    EXPECT_TRUE(isUsableSerial("Z3SN0042"));
    EXPECT_FALSE(isUsableSerial(""));
    EXPECT_FALSE(isUsableSerial("with blank"));
    EXPECT_FALSE(isUsableSerial("back\\slash"));
    EXPECT_FALSE(isUsableSerial("comma,"));
    EXPECT_FALSE(isUsableSerial(std::string(127, 'x')));
}

TEST_F(DeviceTreeTest, AnUnusableSerialGivesWayToTheBusPath) {
    sim.addModemPhone("", SimulatedDeviceTree::makersPhone("BAD SERIAL"));
    DeviceTree devices = tree();
    CollectingDeviceSink sink;
    devices.findModems(sink);
    ASSERT_EQ(sink.records.size(), 1u);
    EXPECT_EQ(devices.instanceIdOf(sink.records[0].rootDevice), "USB\\VID_3C5F&PID_7D19\\1-1");
}

}  // namespace
