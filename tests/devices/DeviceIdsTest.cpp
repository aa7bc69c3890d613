#include <gtest/gtest.h>

#include "devices/DeviceIds.h"
#include "devices/DeviceInfoEx.h"
#include "devices/ZuvoDeviceFilter.h"

namespace {

TEST(VendorIdOf, ReadsTheFourUnitsAfterVidInUpperCase) {
    EXPECT_EQ(vendorIdOf(u"/dev/serial/by-id/usb-Korvanta_Z3-if00_VID_3C5F&PID_7D19"), u"3C5F");
    EXPECT_EQ(vendorIdOf(u"\\\\?\\usb#vid_3c5f&pid_7d19&mi_01#6&1a2b#{2c7089aa}"), u"3C5F");
    EXPECT_EQ(vendorIdOf(u"usb#Vid_0bdA&pid_1"), u"0BDA");
    // The first VID_ counts.
    EXPECT_EQ(vendorIdOf(u"vid_1234 vid_3c5f"), u"1234");
}

TEST(VendorIdOf, GivesWhatThereIsOrNothing) {
    EXPECT_EQ(vendorIdOf(u"usb#vid_3c"), u"3C");
    EXPECT_EQ(vendorIdOf(u"usb#vid_"), u"");
    EXPECT_EQ(vendorIdOf(u"/dev/ttyACM0"), u"");
    EXPECT_EQ(vendorIdOf(u""), u"");
    EXPECT_EQ(vendorIdOf(u"VI_D_3C5F"), u"");
    // Only ASCII letters are upper-cased; other units pass unchanged.
    EXPECT_EQ(vendorIdOf(u"vid_\u00e9\u00dfab"), u"\u00e9\u00dfAB");
}

TEST(IsZuvoDevice, FindsTheMakersMarkInTheHardwarePart) {
    EXPECT_TRUE(isZuvoDevice(u"USB\\VID_3C5F&PID_7D19\\5&2A1B3C4D&0&2"));
    EXPECT_TRUE(isZuvoDevice(u"USB\\VID_3C5F&PID_7D19&MI_01\\6&3B2C1D&0&0001"));
    EXPECT_TRUE(isZuvoDevice(u"USBSTOR\\DISK&VEN_KORVANTA&PROD_Z3&REV_0100\\7&1F2E&0"));
    EXPECT_TRUE(isZuvoDevice(u"USB\\VID_3C5F&PID_7D19"));  // no third part needed
}

TEST(IsZuvoDevice, RejectsOtherVendorsOtherPartsAndOtherCase) {
    EXPECT_FALSE(isZuvoDevice(u"USB\\VID_0BDA&PID_8153\\000001"));
    EXPECT_FALSE(isZuvoDevice(u"USB\\vid_3c5f&pid_7d19\\1"));                   // case-sensitive
    EXPECT_FALSE(isZuvoDevice(u"USBSTOR\\DISK&VEN_SANDISK&PROD_X\\VID_3C5F"));  // third part
    EXPECT_FALSE(isZuvoDevice(u"VID_3C5F\\USB\\1"));                            // first part
    EXPECT_FALSE(isZuvoDevice(u"VID_3C5F&PID_7D19"));                           // no second part
    EXPECT_FALSE(isZuvoDevice(u"USB\\\\VID_3C5F"));                             // empty second part
    EXPECT_FALSE(isZuvoDevice(u""));
}

TEST(ZuvoDeviceFilter, AcceptsExactlyTheMakersVendorId) {
    const device_filter::ZuvoDeviceFilter filter;
    DEVICE_INFO_EX device;
    device.vendorId = u"3C5F";
    EXPECT_TRUE(filter.accept(device));
    for (const char16_t* other : {u"3c5f", u"3C5", u"3C5F0", u"0BDA", u""}) {
        device.vendorId = other;
        EXPECT_FALSE(filter.accept(device));
    }
    // Taken from a lower-case path, the vendor ID passes.
    device.vendorId = vendorIdOf(u"usb#vid_3c5f&pid_7d19");
    EXPECT_TRUE(filter.accept(device));
}

TEST(DeviceInfoEx, StartsWithTenRetriesAsAFoundDevice) {
    const DEVICE_INFO_EX record;
    EXPECT_EQ(record.retriesLeft, 10);
    EXPECT_EQ(record.state, DeviceState::Found);
    EXPECT_TRUE(record.devicePath.empty() && record.imei.empty() && record.model.empty());
    EXPECT_EQ(static_cast<int>(DeviceState::ExtendedPhonebook), 5);
}

}  // namespace
