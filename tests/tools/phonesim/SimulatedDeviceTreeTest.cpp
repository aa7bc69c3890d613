#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "phonesim/SimulatedDeviceTree.h"

namespace {

namespace fs = std::filesystem;
using phonesim::SimulatedDeviceTree;

std::string contentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(SimulatedDeviceTreeTest, LaysOutAPhoneAsTheKernelDoes) {
    SimulatedDeviceTree tree;
    const fs::path sys = tree.sysfsRoot();
    std::string devicePath;
    const std::string phone =
        tree.addModemPhone("/dev/pts/77", SimulatedDeviceTree::makersPhone("SN1"), &devicePath);
    tree.addMassStorage(phone, "KORVANTA", "Z3 Storage");
    EXPECT_EQ(phone, "1-1");
    EXPECT_EQ(devicePath, (tree.devRoot() / "ttyACM0").string());

    const std::string device = "devices/pci0000:00/0000:00:14.0/usb1/1-1";
    EXPECT_EQ(tree.pathOf(phone), device);
    EXPECT_EQ(contentOf(sys / device / "idVendor"), "3c5f\n");
    EXPECT_EQ(contentOf(sys / device / "serial"), "SN1\n");
    EXPECT_EQ(contentOf(sys / device / "bDeviceClass"), "ef\n");
    EXPECT_EQ(contentOf(sys / device / "1-1:1.0/bInterfaceClass"), "02\n");
    EXPECT_EQ(contentOf(sys / device / "1-1:1.1/bInterfaceClass"), "0a\n");
    EXPECT_EQ(contentOf(sys / device / "1-1:1.2/bInterfaceNumber"), "02\n");

    // Links are relative and lead to the folders.
    const fs::path classLink = sys / "class/tty/ttyACM0";
    ASSERT_TRUE(fs::is_symlink(classLink));
    EXPECT_TRUE(fs::read_symlink(classLink).is_relative());
    EXPECT_TRUE(fs::equivalent(classLink, sys / device / "1-1:1.0/tty/ttyACM0"));
    EXPECT_TRUE(fs::equivalent(sys / device / "1-1:1.0/driver", sys / "bus/usb/drivers/cdc_acm"));
    EXPECT_TRUE(fs::equivalent(sys / "bus/usb/devices/1-1:1.1", sys / device / "1-1:1.1"));
    EXPECT_TRUE(fs::equivalent(sys / "bus/usb/devices/usb1", sys / device / ".."));
    EXPECT_NE(contentOf(sys / device / "1-1:1.0/tty/ttyACM0/uevent").find("DEVNAME=ttyACM0\n"),
              std::string::npos);
    EXPECT_EQ(fs::read_symlink(tree.devRoot() / "ttyACM0"), "/dev/pts/77");

    // The disk: space-padded SCSI strings, on the scsi bus, with a block device.
    const fs::path unit = sys / device / "1-1:1.2/host0/target0:0:0/0:0:0:0";
    EXPECT_EQ(contentOf(unit / "vendor"), "KORVANTA\n");
    EXPECT_EQ(contentOf(unit / "model"), "Z3 Storage      \n");
    EXPECT_TRUE(fs::equivalent(unit / "subsystem", sys / "bus/scsi"));
    EXPECT_TRUE(fs::is_directory(unit / "block/sda"));

    // Legacy ports and consoles live outside the USB tree.
    EXPECT_TRUE(fs::equivalent(fs::path(tree.addLegacySerialPort()), tree.devRoot() / "ttyS0"));
    EXPECT_TRUE(
        fs::equivalent(sys / "class/tty/ttyS0", sys / "devices/platform/serial8250/tty/ttyS0"));
    tree.addVirtualConsole();
    EXPECT_TRUE(fs::equivalent(sys / "class/tty/tty1", sys / "devices/virtual/tty/tty1"));

    // Unplugged, nothing of the phone is left.
    tree.removeUsbDevice(phone);
    EXPECT_FALSE(fs::exists(sys / device));
    EXPECT_FALSE(fs::exists(fs::symlink_status(classLink)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(sys / "bus/usb/devices/1-1:1.0")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(sys / "bus/scsi/devices/0:0:0:0")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree.devRoot() / "ttyACM0")));
    EXPECT_TRUE(fs::exists(sys / "class/tty/ttyS0"));
    EXPECT_EQ(tree.pathOf(phone), "");
}

TEST(SimulatedDeviceTreeTest, ATemporaryTreeGoesWithItsOwner) {
    fs::path folder;
    {
        SimulatedDeviceTree tree;
        folder = tree.folder();
        tree.addDriverlessPhone();
        EXPECT_TRUE(fs::is_directory(folder / "sys/bus/usb/devices"));
    }
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
