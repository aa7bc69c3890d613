#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "devices/UeventParser.h"

namespace {

using namespace std::string_literals;
using Kind = DeviceNotice::Kind;

// A message as the kernel sends it: the fields, each ended by a NUL byte.
std::string message(const std::vector<std::string>& fields) {
    std::string bytes;
    for (const std::string& field : fields)
        bytes += field + '\0';
    return bytes;
}

const std::string kAcmAdd = message({
    "add@/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0",
    "ACTION=add",
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0",
    "SUBSYSTEM=tty",
    "MAJOR=166",
    "MINOR=0",
    "DEVNAME=ttyACM0",
    "SEQNUM=4711",
});

const std::string kAcmRemove = message({
    "remove@/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0",
    "ACTION=remove",
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0",
    "SUBSYSTEM=tty",
    "MAJOR=166",
    "MINOR=0",
    "DEVNAME=ttyACM0",
    "SEQNUM=4730",
});

const std::string kInterfaceBind = message({
    "bind@/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0",
    "ACTION=bind",
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0",
    "SUBSYSTEM=usb",
    "DEVTYPE=usb_interface",
    "DRIVER=cdc_acm",
    "PRODUCT=3c5f/7d19/100",
    "TYPE=239/2/1",
    "INTERFACE=2/2/1",
    "MODALIAS=usb:v3C5Fp7D19d0100dcEFdsc02dp01ic02isc02ip01in00",
    "SEQNUM=4712",
});

const std::string kInterfaceUnbind = message({
    "unbind@/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0",
    "ACTION=unbind",
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0",
    "SUBSYSTEM=usb",
    "DEVTYPE=usb_interface",
    "PRODUCT=3c5f/7d19/100",
    "SEQNUM=4729",
});

const std::string kBatteryChange = message({
    "change@/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0C0A:00/power_supply/BAT0",
    "ACTION=change",
    "DEVPATH=/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0C0A:00/power_supply/BAT0",
    "SUBSYSTEM=power_supply",
    "POWER_SUPPLY_NAME=BAT0",
    "POWER_SUPPLY_CAPACITY=87",
    "SEQNUM=5000",
});

const std::string kDiskChange = message({
    "change@/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/host6/target6:0:0/6:0:0:0",
    "ACTION=change",
    "DEVPATH=/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/host6/target6:0:0/6:0:0:0",
    "SUBSYSTEM=scsi",
    "SDEV_MEDIA_CHANGE=1",
    "DEVTYPE=scsi_device",
    "DRIVER=sd",
    "SEQNUM=5001",
});

TEST(UeventParserTest, KernelMessagesAreReadFieldByField) {
    const std::optional<Uevent> add = parseUevent(kAcmAdd, 0);
    ASSERT_TRUE(add);
    EXPECT_EQ(add->action, "add");
    EXPECT_EQ(add->devpath, "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0");
    EXPECT_EQ(add->subsystem, "tty");
    EXPECT_EQ(add->devname, "ttyACM0");
    EXPECT_EQ(add->seqnum, 4711u);

    const std::optional<Uevent> bind = parseUevent(kInterfaceBind, 0);
    ASSERT_TRUE(bind);
    EXPECT_EQ(bind->action, "bind");
    EXPECT_EQ(bind->subsystem, "usb");
    EXPECT_EQ(bind->devtype, "usb_interface");
    EXPECT_EQ(bind->driver, "cdc_acm");
    EXPECT_EQ(bind->devname, "");

    for (const std::string* text : {&kAcmRemove, &kInterfaceUnbind, &kBatteryChange, &kDiskChange})
        EXPECT_TRUE(parseUevent(*text, 0)) << *text;
    // The last NUL may be missing.
    EXPECT_TRUE(parseUevent(std::string_view(kAcmAdd).substr(0, kAcmAdd.size() - 1), 0));
}

TEST(UeventParserTest, WhatDoesNotComeWholeFromTheKernelIsDropped) {
    struct Case {
        const char* why;
        std::string bytes;
        std::uint32_t sender = 0;
        bool truncated = false;
    };
    const std::vector<Case> cases{
        {"another program sent it", kAcmAdd, 31337},
        {"cut short by the buffer", kAcmAdd, 0, true},
        {"empty", ""},
        {"longer than any kernel message", kAcmAdd + message({"X=" + std::string(9000, 'x')})},
        {"the udev daemon's format", "libudev\0\xfe\xed\xca\xfe\x28\0\0\0"s + kAcmAdd},
        {"no header", message({"ACTION=add", "DEVPATH=/devices/x", "SUBSYSTEM=tty"})},
        {"unknown action",
         message({"explode@/devices/x", "ACTION=explode", "DEVPATH=/devices/x", "SUBSYSTEM=tty"})},
        {"relative devpath",
         message({"add@devices/x", "ACTION=add", "DEVPATH=devices/x", "SUBSYSTEM=tty"})},
        {"a field without =",
         message({"add@/devices/x", "ACTION=add", "DEVPATH=/devices/x", "SUBSYSTEM=tty", "junk"})},
        {"ACTION disagrees",
         message({"add@/devices/x", "ACTION=remove", "DEVPATH=/devices/x", "SUBSYSTEM=tty"})},
        {"DEVPATH disagrees",
         message({"add@/devices/x", "ACTION=add", "DEVPATH=/devices/y", "SUBSYSTEM=tty"})},
        {"no SUBSYSTEM", message({"add@/devices/x", "ACTION=add", "DEVPATH=/devices/x"})},
        {"no ACTION", message({"add@/devices/x", "DEVPATH=/devices/x", "SUBSYSTEM=tty"})},
        {"control characters", message({"add@/devices/x", "ACTION=add", "DEVPATH=/devices/x",
                                        "SUBSYSTEM=tty", "DEVNAME=tty\x1b[2J"})},
        {"a SEQNUM that is no number",
         message({"add@/devices/x", "ACTION=add", "DEVPATH=/devices/x", "SUBSYSTEM=tty",
                  "SEQNUM=99999999999999999999999"})},
        {"binary noise", "\x01\x02\x03@\xff\xfe\0\0\0"s},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(parseUevent(c.bytes, c.sender, c.truncated)) << c.why;
}

TEST(UeventParserTest, NoticesSayWhatAPhoneListNeedsToKnow) {
    const std::filesystem::path dev = "/dev";
    const std::optional<DeviceNotice> arrival = noticeOf(*parseUevent(kAcmAdd, 0), dev);
    ASSERT_TRUE(arrival);
    EXPECT_EQ(arrival->kind, Kind::DeviceArrival);
    EXPECT_EQ(arrival->devicePath, u"/dev/ttyACM0");
    EXPECT_EQ(arrival->sysfsPath, "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0");

    const std::optional<DeviceNotice> removal =
        noticeOf(*parseUevent(kAcmRemove, 0), "/tmp/tree/dev");
    ASSERT_TRUE(removal);
    EXPECT_EQ(removal->kind, Kind::DeviceRemoveComplete);
    EXPECT_EQ(removal->devicePath, u"/tmp/tree/dev/ttyACM0");

    for (const std::string* text : {&kInterfaceBind, &kInterfaceUnbind, &kDiskChange}) {
        const std::optional<DeviceNotice> change = noticeOf(*parseUevent(*text, 0), dev);
        ASSERT_TRUE(change) << *text;
        EXPECT_EQ(change->kind, Kind::DevNodesChanged);
        EXPECT_TRUE(change->devicePath.empty());
    }
    EXPECT_FALSE(noticeOf(*parseUevent(kBatteryChange, 0), dev));

    // Without a usable DEVNAME the tty's folder names it; never a path above the dev root.
    Uevent event = *parseUevent(kAcmRemove, 0);
    event.devname = "../../etc/shadow";
    EXPECT_EQ(noticeOf(event, dev)->devicePath, u"/dev/ttyACM0");
    event.devname.clear();
    EXPECT_EQ(noticeOf(event, dev)->devicePath, u"/dev/ttyACM0");
    event.devpath = "/..";
    EXPECT_EQ(noticeOf(event, dev)->devicePath, u"");
    EXPECT_EQ(static_cast<std::uint32_t>(Kind::DevNodesChanged), 7u);
}

}  // namespace
