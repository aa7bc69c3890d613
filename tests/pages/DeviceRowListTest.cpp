// What the device list shows, decided without widgets: the refresh of the rows with its
// selection rules, and what each device state offers.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "pages/DeviceRowCommand.h"
#include "pages/DeviceRowList.h"
#include "pages/OtherMakersDevices.h"

namespace {

using Edit = DeviceRowList::Edit;
using Kind = DeviceRowList::Edit::Kind;

const std::u16string kUnknown = u"Unknown model";

DEVICE_INFO_EX device(std::uint32_t node, std::u16string model, std::u16string imei,
                      DeviceState state = DeviceState::ExtendedPhonebook) {
    DEVICE_INFO_EX record;
    record.device = node;
    record.rootDevice = node;
    record.model = std::move(model);
    record.imei = std::move(imei);
    record.state = state;
    return record;
}

// Aliases as the alias store gives them: the alias, or the IMEI itself.
struct Aliases {
    std::map<std::u16string, std::u16string> known;
    int lookups = 0;
    DeviceRowList::AliasLookup lookup() {
        return [this](const std::u16string& imei) {
            ++lookups;
            const auto found = known.find(imei);
            return found == known.end() ? imei : found->second;
        };
    }
};

TEST(DeviceRowList, TheFirstRefreshListsTheDevicesInOrderAndSelectsTheFirst) {
    DeviceRowList rows;
    Aliases aliases;
    aliases.known[u"351234567890123"] = u"Ann";
    const auto refresh =
        rows.refresh({device(3, u"Z3", u"351234567890123"), device(5, u"Z1", u"351234567890111"),
                      device(9, u"", u"", DeviceState::NoDriver)},
                     aliases.lookup(), kUnknown, std::nullopt);
    EXPECT_EQ(rows.rows(),
              (std::vector<DeviceRow>{
                  {3, u"Z3", u"Ann"}, {5, u"Z1", u"351234567890111"}, {9, kUnknown, u""}}));
    ASSERT_EQ(refresh.edits.size(), 3u);
    EXPECT_EQ(refresh.edits[2], (Edit{Kind::Insert, 2, {9, kUnknown, u""}}));
    EXPECT_EQ(refresh.selection, 0u);
    EXPECT_FALSE(refresh.rowRemoved);
    EXPECT_EQ(aliases.lookups, 2) << "a device without IMEI has no alias to look up";
}

TEST(DeviceRowList, UnchangedRowsStayAndNewDevicesGoWhereTheyStand) {
    DeviceRowList rows;
    Aliases aliases;
    rows.refresh({device(3, u"Z3", u"1"), device(7, u"Z7", u"7")}, aliases.lookup(), kUnknown,
                 std::nullopt);
    const auto refresh =
        rows.refresh({device(3, u"Z3", u"1"), device(5, u"Z5", u"5"), device(7, u"Z7", u"7")},
                     aliases.lookup(), kUnknown, 1);
    EXPECT_EQ(refresh.edits, (std::vector<Edit>{{Kind::Insert, 1, {5, u"Z5", u"5"}}}));
    EXPECT_EQ(refresh.selection, 2u) << "the selected phone (node 7) moved down one row";
    EXPECT_FALSE(refresh.rowRemoved);

    // Nothing changed: nothing to do.
    const auto again =
        rows.refresh({device(3, u"Z3", u"1"), device(5, u"Z5", u"5"), device(7, u"Z7", u"7")},
                     aliases.lookup(), kUnknown, 2);
    EXPECT_TRUE(again.edits.empty());
    EXPECT_EQ(again.selection, 2u);
}

TEST(DeviceRowList, ARowWhoseModelOrAliasChangedIsReplacedAndStaysSelected) {
    DeviceRowList rows;
    Aliases aliases;
    rows.refresh({device(3, u"Z3", u"1"), device(5, u"", u"", DeviceState::Unsupported)},
                 aliases.lookup(), kUnknown, std::nullopt);

    // The second phone's probe has now read its model.
    auto refresh = rows.refresh({device(3, u"Z3", u"1"), device(5, u"Z1", u"5")}, aliases.lookup(),
                                kUnknown, 1);
    EXPECT_EQ(refresh.edits,
              (std::vector<Edit>{{Kind::Remove, 1, {}}, {Kind::Insert, 1, {5, u"Z1", u"5"}}}));
    EXPECT_EQ(refresh.selection, 1u);
    EXPECT_TRUE(refresh.rowRemoved);

    // The first phone got an alias.
    aliases.known[u"1"] = u"Office";
    refresh = rows.refresh({device(3, u"Z3", u"1"), device(5, u"Z1", u"5")}, aliases.lookup(),
                           kUnknown, 0);
    EXPECT_EQ(rows.rows().front(), (DeviceRow{3, u"Z3", u"Office"}));
    EXPECT_EQ(refresh.selection, 0u);
    EXPECT_EQ(rows.rows().size(), 2u);
}

TEST(DeviceRowList, WhenTheSelectedPhoneGoesTheFirstRowIsSelectedAndAnEmptyListSelectsNone) {
    DeviceRowList rows;
    Aliases aliases;
    rows.refresh({device(3, u"Z3", u"1"), device(5, u"Z1", u"5"), device(8, u"Z8", u"8")},
                 aliases.lookup(), kUnknown, std::nullopt);
    auto refresh = rows.refresh({device(3, u"Z3", u"1"), device(8, u"Z8", u"8")}, aliases.lookup(),
                                kUnknown, 1);
    EXPECT_EQ(refresh.edits, (std::vector<Edit>{{Kind::Remove, 1, {}}}));
    EXPECT_EQ(refresh.selection, 0u);

    // Every row is looked at once, also those after a removed one.
    refresh = rows.refresh({}, aliases.lookup(), kUnknown, 0);
    EXPECT_EQ(refresh.edits, (std::vector<Edit>{{Kind::Remove, 0, {}}, {Kind::Remove, 0, {}}}));
    EXPECT_TRUE(rows.rows().empty());
    EXPECT_FALSE(refresh.selection.has_value());

    // No selection before: the first row.
    refresh = rows.refresh({device(4, u"Z4", u"4"), device(6, u"Z6", u"6")}, aliases.lookup(),
                           kUnknown, std::nullopt);
    EXPECT_EQ(refresh.selection, 0u);
}

TEST(DeviceRowCommand, EachDeviceOffersItsActionAndCause) {
    using A = DeviceRowCommand::Action;
    using C = causes::Cause;
    using S = DeviceState;
    struct Case {
        S state;
        std::u16string model;
        causes::PhoneCause probed;
        bool askable;
        A action;
        std::int32_t topic;
        C cause;
        bool choosable;
    };
    const Case cases[] = {
        // A record never probed: the generic "not supported" section.
        {S::Found, u"", {}, false, A::ShowHelp, 4, C::Unknown, false},
        {S::NoDriver, u"", {}, false, A::ShowHelp, 2, C::NoDriver, false},
        {S::OtherMode, u"", {}, false, A::ShowHelp, 3, C::OtherMode, false},
        {S::Unsupported, u"Z1", {}, false, A::ShowHelp, 15, C::MissingCommands, false},
        // The probe's own cause wins over what the state tells.
        {S::Unsupported, u"", {C::Permission, 13}, false, A::ShowHelp, 9, C::Permission, false},
        {S::Unsupported,
         u"",
         {C::BusyNamed, 16, "mc", 47},
         false,
         A::ShowHelp,
         10,
         C::BusyNamed,
         false},
        {S::Unsupported, u"", {C::SimLocked}, true, A::ShowHelp, 24, C::SimLocked, true},
        // Another maker's device not asked yet: Next asks it.
        {S::Found, u"", {C::NotAsked}, true, A::ShowHelp, 25, C::NotAsked, true},
        {S::StandardPhonebook, u"Z1", {}, false, A::SetAlias, 0, C::None, true},
        {S::ExtendedPhonebook, u"Z1", {}, false, A::SetAlias, 0, C::None, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        SCOPED_TRACE(static_cast<int>(c.probed.kind));
        DEVICE_INFO_EX record = device(3, c.model, u"", c.state);
        record.cause = c.probed;
        const DeviceRowCommand command = DeviceRowCommand::forDevice(record, c.askable);
        EXPECT_EQ(command.action, c.action);
        if (c.action == A::ShowHelp) {
            EXPECT_EQ(command.helpTopic, c.topic);
        }
        EXPECT_EQ(command.cause.kind, c.cause);
        if (c.probed.kind != C::None) {
            EXPECT_EQ(command.cause, c.probed);  // with its program and pid
        }
        EXPECT_EQ(command.choosable, c.choosable);
    }
}

// Another maker's USB serial port as sysfs describes it.
UsbSerialPort otherPort(std::uint32_t node, std::u16string path, std::u16string serial) {
    UsbSerialPort port;
    port.found.device = node;
    port.found.rootDevice = node;
    port.found.devicePath = std::move(path);
    port.found.vendorId = u"1F6E";
    port.vendorId = u"1f6e";
    port.productId = u"4c20";
    port.manufacturer = u"Nordlicht";
    port.product = u"NL-200";
    port.serial = std::move(serial);
    return port;
}

// What asking found stays while the same device stays on its port, and goes when it goes or
// another device takes its node.
TEST(OtherMakersDevices, WhatWasAskedIsKeptForTheSameDeviceOnly) {
    OtherMakersDevices others;
    const UsbSerialPort gone = otherPort(7, u"/nonexistent/ttyACM7", u"SN1");
    others.follow({gone, otherPort(9, u"/nonexistent/ttyACM9", u"SN2")});
    std::vector<DEVICE_INFO_EX> listed = others.devices();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].device, 7u);
    EXPECT_EQ(listed[0].state, DeviceState::Found);
    EXPECT_EQ(listed[0].cause.kind, causes::Cause::NotAsked);
    EXPECT_EQ(listed[0].manufacturer + u' ' + listed[0].model, u"Nordlicht NL-200");
    EXPECT_FALSE(others.ask(8).has_value()) << "not one of them";

    // Its port is not there: the cause of the open is kept with it.
    const std::optional<DEVICE_INFO_EX> asked = others.ask(7);
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(asked->state, DeviceState::Unsupported);
    EXPECT_EQ(asked->cause.kind, causes::Cause::NoSuchPort);
    EXPECT_EQ(asked->model, u"NL-200") << "the USB strings where the phone told nothing";
    others.follow({gone, otherPort(9, u"/nonexistent/ttyACM9", u"SN2")});
    EXPECT_EQ(others.devices()[0].cause.kind, causes::Cause::NoSuchPort);
    EXPECT_EQ(others.devices()[1].cause.kind, causes::Cause::NotAsked);

    // Another device on the same node is not asked yet; a node that went is no more.
    others.follow({otherPort(7, u"/nonexistent/ttyACM7", u"SN3")});
    listed = others.devices();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].cause.kind, causes::Cause::NotAsked);
    EXPECT_FALSE(others.contains(9));
}

}  // namespace
