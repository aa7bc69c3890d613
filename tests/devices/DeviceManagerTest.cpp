#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CollectingDeviceSink.h"
#include "CountingListSink.h"
#include "OpenWatch.h"
#include "charsets/TextCodec.h"
#include "devices/DeviceListing.h"
#include "devices/DeviceManager.h"
#include "devices/DeviceTree.h"
#include "devices/ZuvoDeviceFilter.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using phonesim::BuiltInScenarios;
using phonesim::SimulatedDeviceTree;
using phonesim::Simulator;
using test_support::OpenWatch;

std::u16string u16(const std::string& text) {
    return text_codec::fromUtf8(text);
}

std::optional<DEVICE_INFO_EX> entryWithPath(const std::vector<DEVICE_INFO_EX>& list,
                                            const std::string& path) {
    const auto found = std::find_if(list.begin(), list.end(), [&](const DEVICE_INFO_EX& entry) {
        return entry.devicePath == u16(path);
    });
    if (found == list.end())
        return std::nullopt;
    return *found;
}

std::size_t countOf(const std::vector<DEVICE_INFO_EX>& list, DeviceState state) {
    return static_cast<std::size_t>(std::count_if(
        list.begin(), list.end(), [state](const DEVICE_INFO_EX& e) { return e.state == state; }));
}

class DeviceManagerTest : public ::testing::Test {
protected:
    DeviceRoots roots() const { return {sim.sysfsRoot(), sim.devRoot()}; }

    std::unique_ptr<DeviceManager> makeManager() const {
        return std::make_unique<DeviceManager>(std::make_unique<device_filter::ZuvoDeviceFilter>(),
                                               roots());
    }

    // One whole enumeration, probes included.
    static void enumerateOnce(DeviceManager& devices, IDeviceListSink* sink = nullptr) {
        ASSERT_TRUE(devices.enumerate(sink));
        ASSERT_TRUE(devices.waitForQueued(60s));
    }

    // Points a tty's device node somewhere else (another phone on the same port).
    static void relink(const std::string& devicePath, const std::string& port) {
        fs::remove(devicePath);
        fs::create_symlink(port, devicePath);
    }

    SimulatedDeviceTree sim;
};

TEST_F(DeviceManagerTest, EachPhoneIsListedOnceWithItsBestStateAndOtherModemsAreNeverOpened) {
    Simulator phone(BuiltInScenarios::demo());
    Simulator stranger(BuiltInScenarios::demo());
    std::string modemPath;
    std::string strangerPath;
    const std::string modem = sim.addModemPhone(
        phone.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &modemPath);
    sim.addMassStorage(modem, "KORVANTA", "Z3 Storage");  // the same phone's memory card
    sim.addDriverlessPhone(SimulatedDeviceTree::makersPhone("Z3SN0002"));
    sim.addMassStoragePhone(SimulatedDeviceTree::makersPhone("Z3SN0003", "7d1a"));
    sim.addOtherVendorModem(stranger.portPath(), &strangerPath);
    sim.addLegacySerialPort();
    sim.addVirtualConsole();
    const OpenWatch strangerWatch(stranger.portPath());

    CountingListSink sink;
    auto devices = makeManager();
    enumerateOnce(*devices, &sink);

    const std::vector<DEVICE_INFO_EX> list = devices->snapshot();
    ASSERT_EQ(list.size(), 3u);
    const std::optional<DEVICE_INFO_EX> listedModem = entryWithPath(list, modemPath);
    ASSERT_TRUE(listedModem);
    EXPECT_EQ(listedModem->state, DeviceState::ExtendedPhonebook);
    EXPECT_EQ(listedModem->model, u"Z3");
    EXPECT_EQ(listedModem->imei, u"351234567890123");
    EXPECT_EQ(listedModem->vendorId, u"3C5F");
    EXPECT_EQ(listedModem->retriesLeft, 9);
    EXPECT_EQ(countOf(list, DeviceState::NoDriver), 1u);
    EXPECT_EQ(countOf(list, DeviceState::OtherMode), 1u);
    EXPECT_NE(list[0].rootDevice, list[1].rootDevice);
    EXPECT_NE(list[1].rootDevice, list[2].rootDevice);
    EXPECT_NE(list[0].rootDevice, list[2].rootDevice);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(),
                               [](const auto& a, const auto& b) { return a.device < b.device; }));
    // Two modems, the modem phone's USB device, three interfaces and disk, the driverless
    // phone's device and interface, the storage phone's device, interface and disk.
    EXPECT_EQ(sink.count, 1 + 2 + 5 + 2 + 3);

    // The other vendor's modem was found but never opened.
    EXPECT_FALSE(entryWithPath(list, strangerPath));
    EXPECT_TRUE(stranger.transcript().empty());
    EXPECT_FALSE(strangerWatch.opened());
    const int control = ::open(stranger.portPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(control, 0);
    ::close(control);
    EXPECT_TRUE(strangerWatch.opened()) << "the watch would have seen an open";

    // A usable phone is not probed again.
    const std::size_t commands = phone.transcript().size();
    enumerateOnce(*devices);
    EXPECT_EQ(phone.transcript().size(), commands);
    EXPECT_EQ(devices->snapshot(), list);

    DEVICE_INFO_EX found;
    ASSERT_TRUE(devices->find(listedModem->device, found));
    EXPECT_EQ(found, *listedModem);
    std::u16string port;
    ASSERT_TRUE(devices->portNameOf(listedModem->device, port));
    EXPECT_EQ(port, u16(modemPath));
    EXPECT_FALSE(devices->find(0, found));
    EXPECT_FALSE(devices->portNameOf(123456, port));
}

TEST_F(DeviceManagerTest, AModemThatCannotBeOpenedIsProbedTenTimesAndNoMore) {
    std::string path;
    sim.addModemPhone("", {}, &path);  // a node that is no terminal: the port cannot be had
    auto devices = makeManager();
    for (int probe = 1; probe <= 10; ++probe) {
        enumerateOnce(*devices);
        const std::optional<DEVICE_INFO_EX> entry = entryWithPath(devices->snapshot(), path);
        ASSERT_TRUE(entry) << "probe " << probe;
        EXPECT_EQ(entry->state, DeviceState::Unsupported);
        EXPECT_EQ(entry->retriesLeft, 10 - probe);
    }

    // Now a phone answers there, but the modem has had its probes.
    Simulator phone(BuiltInScenarios::demo());
    relink(path, phone.portPath());
    enumerateOnce(*devices);
    EXPECT_TRUE(phone.transcript().empty());
    const std::optional<DEVICE_INFO_EX> entry = entryWithPath(devices->snapshot(), path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->state, DeviceState::Unsupported);
    EXPECT_EQ(entry->retriesLeft, 0);

    // Told that the modem went, the manager forgets it, and the next one found is new.
    EXPECT_TRUE(devices->removeByPath(u16(path)));
    EXPECT_TRUE(devices->snapshot().empty());
    enumerateOnce(*devices);
    const std::optional<DEVICE_INFO_EX> fresh = entryWithPath(devices->snapshot(), path);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->state, DeviceState::ExtendedPhonebook);
    EXPECT_EQ(fresh->retriesLeft, 9);
}

TEST_F(DeviceManagerTest, AnUnsupportedModemIsReplacedWhenItTellsAnotherModel) {
    phonesim::Scenario scenario = BuiltInScenarios::load("unsupported");
    std::optional<Simulator> phone(std::in_place, scenario);
    std::string path;
    sim.addModemPhone(phone->portPath(), {}, &path);
    auto devices = makeManager();

    enumerateOnce(*devices);
    std::optional<DEVICE_INFO_EX> entry = entryWithPath(devices->snapshot(), path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->state, DeviceState::Unsupported);
    EXPECT_EQ(entry->model, u"Z-Basic");
    EXPECT_EQ(entry->retriesLeft, 9);

    scenario.phone.model = "Z-Basic 2";
    phone.emplace(scenario);
    relink(path, phone->portPath());
    enumerateOnce(*devices);
    entry = entryWithPath(devices->snapshot(), path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->model, u"Z-Basic 2");
    EXPECT_EQ(entry->retriesLeft, 8);

    // The same answer again: the entry stays as it is, but the probe counts.
    enumerateOnce(*devices);
    EXPECT_TRUE(phone->waitForCommand("AT+CGMM", 2, 5s));  // it was asked again
    entry = entryWithPath(devices->snapshot(), path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->model, u"Z-Basic 2");
    EXPECT_EQ(entry->retriesLeft, 7);
}

// A clock that moves only when the manager pauses, by the pause, and then runs a step of the
// test (on the manager's worker): time never passes by itself.
class SteppingClock : public IProbeClock {
public:
    explicit SteppingClock(std::function<void(int)> atPause) : atPause_(std::move(atPause)) {}

    TimePoint now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    bool pause(std::chrono::milliseconds duration, synchronization::Event& stop) override {
        int count = 0;
        {
            std::lock_guard lock(mutex_);
            now_ += duration;
            count = ++pauses_;
        }
        atPause_(count);
        return !stop.isSignalled();
    }
    int pauses() {
        std::lock_guard lock(mutex_);
        return pauses_;
    }

private:
    std::mutex mutex_;
    TimePoint now_{std::chrono::hours(1)};
    int pauses_ = 0;
    const std::function<void(int)> atPause_;
};

// The kernel tells of a new tty before udev has made its node (or given it its owner and ACL):
// the probe's failure to open it is not the phone's, while the phone has just arrived.
TEST_F(DeviceManagerTest, APortUdevHasNotMadeYetIsTriedAgainWithoutCountingUntilItPersists) {
    Simulator phone(BuiltInScenarios::demo());
    Simulator late(BuiltInScenarios::demo());
    phonesim::UsbIdentity justPlugged = SimulatedDeviceTree::makersPhone("Z3SN0001");
    justPlugged.connectedMs = 0;
    std::string path;
    sim.addModemPhone(phone.portPath(), justPlugged, &path);
    fs::remove(path);  // no node yet
    auto owned = std::make_unique<SteppingClock>([&](int pause) {
        if (pause == 3)
            fs::create_symlink(phone.portPath(), path);  // udev has done its work
    });
    SteppingClock& clock = *owned;
    DeviceManager devices(std::make_unique<device_filter::ZuvoDeviceFilter>(), roots(),
                          std::move(owned));
    enumerateOnce(devices);
    std::optional<DEVICE_INFO_EX> entry = entryWithPath(devices.snapshot(), path);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->state, DeviceState::ExtendedPhonebook);
    EXPECT_EQ(entry->cause, causes::PhoneCause{});
    EXPECT_EQ(entry->retriesLeft, 9) << "one probe counted";
    EXPECT_EQ(clock.pauses(), 3);

    // A node that never comes: listed as missing once the grace has passed, for one probe.
    std::string missingPath;
    justPlugged.serial = "Z3SN0002";
    sim.addModemPhone(late.portPath(), justPlugged, &missingPath);
    fs::remove(missingPath);
    enumerateOnce(devices);
    entry = entryWithPath(devices.snapshot(), missingPath);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->state, DeviceState::Unsupported);
    EXPECT_EQ(entry->cause, causes::PhoneCause(causes::Cause::NoSuchPort, ENOENT));
    EXPECT_EQ(entry->retriesLeft, 9);
    const int grace =
        static_cast<int>(DeviceManager::kArrivalGrace / DeviceManager::kArrivalRetryPause);
    EXPECT_EQ(clock.pauses(), 3 + grace);

    // Later probes, and a phone that was connected long before, fail at once and count.
    std::string oldPath;
    sim.addModemPhone(late.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0003"), &oldPath);
    fs::remove(oldPath);
    enumerateOnce(devices);
    EXPECT_EQ(clock.pauses(), 3 + grace);
    EXPECT_EQ(entryWithPath(devices.snapshot(), missingPath).value().retriesLeft, 8);
    entry = entryWithPath(devices.snapshot(), oldPath);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->cause.kind, causes::Cause::NoSuchPort);
    EXPECT_EQ(entry->retriesLeft, 9);
    EXPECT_TRUE(late.transcript().empty());
}

DEVICE_INFO_EX record(std::uint32_t device, std::uint32_t root, DeviceState state) {
    DEVICE_INFO_EX result;
    result.device = device;
    result.rootDevice = root;
    result.state = state;
    result.model = u"left over";
    result.imei = u"left over";
    return result;
}

std::vector<std::uint32_t> nodesOf(const std::vector<DEVICE_INFO_EX>& list) {
    std::vector<std::uint32_t> nodes;
    for (const DEVICE_INFO_EX& entry : list)
        nodes.push_back(entry.device);
    return nodes;
}

TEST_F(DeviceManagerTest, RecordsOfOnePhoneKeepTheGreaterStateThenTheGreaterNode) {
    auto devices = makeManager();
    using S = DeviceState;
    devices->onDevice(record(5, 1, S::NoDriver));
    devices->onDevice(record(3, 1, S::OtherMode));  // a greater state replaces
    EXPECT_EQ(nodesOf(devices->snapshot()), (std::vector<std::uint32_t>{3}));
    devices->onDevice(record(9, 1, S::NoDriver));   // a lesser one does not
    devices->onDevice(record(2, 1, S::OtherMode));  // nor an equal one with a lesser node
    EXPECT_EQ(nodesOf(devices->snapshot()), (std::vector<std::uint32_t>{3}));
    devices->onDevice(record(7, 1, S::OtherMode));  // an equal one with a greater node does
    EXPECT_EQ(nodesOf(devices->snapshot()), (std::vector<std::uint32_t>{7}));
    devices->onDevice(record(4, 2, S::NoDriver));  // another phone
    devices->onDevice(record(8, 0, S::NoDriver));  // no root: kept by node
    devices->onDevice(record(6, 0, S::OtherMode));
    const std::vector<DEVICE_INFO_EX> list = devices->snapshot();
    EXPECT_EQ(nodesOf(list), (std::vector<std::uint32_t>{4, 6, 7, 8}));
    for (const DEVICE_INFO_EX& entry : list)
        EXPECT_TRUE(entry.model.empty() && entry.imei.empty());
}

TEST_F(DeviceManagerTest, OfTwoUsableModemsOfOnePhoneTheGreaterNodeIsListedAndNeitherReprobed) {
    Simulator first(BuiltInScenarios::demo());
    Simulator second(BuiltInScenarios::demo());
    const std::string phone = sim.addUsbDevice(SimulatedDeviceTree::makersPhone("Z3SN0009"));
    sim.addAcmModem(phone, first.portPath());
    sim.addAcmModem(phone, second.portPath());

    // A tree read in the same order numbers the nodes as the manager's does.
    DeviceTree order(roots());
    CollectingDeviceSink modems;
    order.findModems(modems);
    ASSERT_EQ(modems.records.size(), 2u);
    const DEVICE_INFO_EX& greater =
        modems.records[0].device > modems.records[1].device ? modems.records[0] : modems.records[1];

    auto devices = makeManager();
    enumerateOnce(*devices);
    const std::vector<DEVICE_INFO_EX> list = devices->snapshot();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].device, greater.device);
    EXPECT_EQ(list[0].devicePath, greater.devicePath);
    EXPECT_EQ(list[0].state, DeviceState::ExtendedPhonebook);

    const std::size_t firstCommands = first.transcript().size();
    const std::size_t secondCommands = second.transcript().size();
    EXPECT_GT(firstCommands, 0u);
    EXPECT_GT(secondCommands, 0u);
    enumerateOnce(*devices);
    EXPECT_EQ(first.transcript().size(), firstCommands);
    EXPECT_EQ(second.transcript().size(), secondCommands);
    EXPECT_EQ(devices->snapshot(), list);
}

TEST_F(DeviceManagerTest, EntriesWhoseDeviceWentArePrunedBeforeTheNextEnumeration) {
    Simulator phone(BuiltInScenarios::demo());
    std::string modemPath;
    const std::string modem = sim.addModemPhone(phone.portPath(), {}, &modemPath);
    const std::string driverless = sim.addDriverlessPhone();
    auto devices = makeManager();
    enumerateOnce(*devices);
    ASSERT_EQ(devices->snapshot().size(), 2u);

    // Unplugged: gone as soon as enumerate returns, before any new record.
    sim.removeUsbDevice(driverless);
    ASSERT_TRUE(devices->enumerate(nullptr));
    std::vector<DEVICE_INFO_EX> list = devices->snapshot();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].devicePath, u16(modemPath));
    ASSERT_TRUE(devices->waitForQueued(60s));

    // The modem driver let go of the phone (its tty went, the USB device stayed): the modem's
    // entry goes, and the phone is listed by its USB device in another mode.
    const fs::path tty = sim.sysfsRoot() / sim.pathOf(modem + ":1.0") / "tty";
    fs::remove_all(tty);
    fs::remove(sim.sysfsRoot() / "class/tty/ttyACM0");
    enumerateOnce(*devices);
    list = devices->snapshot();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].state, DeviceState::OtherMode);
    EXPECT_TRUE(list[0].devicePath.empty());
}

TEST_F(DeviceManagerTest, RemovingByPathForgetsOnlyThatModem) {
    std::string path;
    sim.addModemPhone("", {}, &path);
    sim.addDriverlessPhone();
    auto devices = makeManager();
    enumerateOnce(*devices);
    ASSERT_EQ(devices->snapshot().size(), 2u);

    EXPECT_FALSE(devices->removeByPath(u"/dev/ttyACM9"));
    EXPECT_FALSE(devices->removeByPath(u""));  // the driverless phone has no path
    EXPECT_EQ(devices->snapshot().size(), 2u);
    EXPECT_TRUE(devices->removeByPath(u16(path)));
    const std::vector<DEVICE_INFO_EX> list = devices->snapshot();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].state, DeviceState::NoDriver);
    EXPECT_FALSE(devices->removeByPath(u16(path)));
}

TEST_F(DeviceManagerTest, AnEnumerationThatCannotReadTheDevicesEndsAndTheWorkerCarriesOn) {
    sim.addDriverlessPhone();
    fs::rename(sim.sysfsRoot() / "class", sim.folder() / "class-away");
    auto devices = makeManager();
    enumerateOnce(*devices);
    EXPECT_TRUE(devices->snapshot().empty());
    EXPECT_NE(devices->lastEnumerationFailure().find("class/tty"), std::string::npos);

    fs::rename(sim.folder() / "class-away", sim.sysfsRoot() / "class");
    enumerateOnce(*devices);
    EXPECT_EQ(devices->snapshot().size(), 1u);
    EXPECT_EQ(devices->lastEnumerationFailure(), "");
}

TEST_F(DeviceManagerTest, AnEnumerationIsQueuedOnlyWhenNoneWaitsAndWaitingOnesCanBeDropped) {
    Simulator phone(BuiltInScenarios::demo());
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+MODE?"), 10s);
    sim.addModemPhone(phone.portPath());
    auto devices = makeManager();

    ASSERT_TRUE(devices->enumerate(nullptr));
    ASSERT_TRUE(gate->waitUntilHeld(10s));  // the worker is in the first enumeration's probe
    EXPECT_TRUE(devices->enumerate(nullptr));
    EXPECT_FALSE(devices->enumerate(nullptr));
    devices->discardQueued();
    EXPECT_TRUE(devices->enumerate(nullptr));
    EXPECT_FALSE(devices->enumerate(nullptr));
    gate->release();
    ASSERT_TRUE(devices->waitForQueued(60s));
    ASSERT_EQ(devices->snapshot().size(), 1u);
    EXPECT_GE(devices->snapshot()[0].state, DeviceState::Unsupported);
}

TEST_F(DeviceManagerTest, DestroyingTheManagerWaitsForTheProbeUnderWayAndReturns) {
    Simulator phone(BuiltInScenarios::demo());
    auto gate = phone.holdAnswer(phonesim::CommandPattern("AT+MODE?"), 10s);
    sim.addModemPhone(phone.portPath());
    CountingListSink sink;
    auto devices = makeManager();
    ASSERT_TRUE(devices->enumerate(&sink));
    ASSERT_TRUE(gate->waitUntilHeld(10s));

    std::thread closer([&devices] { devices.reset(); });
    gate->release();
    closer.join();
    EXPECT_FALSE(devices);
    // The probe ran to its end and put the phone back into mode 0.
    EXPECT_TRUE(phone.waitForCommand("AT+MODE=0", 1, 5s));
}

TEST_F(DeviceManagerTest, OneListingOfTheDemoPhone) {
    Simulator phone(BuiltInScenarios::demo());
    std::string path;
    sim.addModemPhone(phone.portPath(), {}, &path);
    const DeviceListing listing = listDevicesOnce(roots(), 60s);
    EXPECT_TRUE(listing.complete);
    EXPECT_EQ(listing.failure, "");
    ASSERT_EQ(listing.devices.size(), 1u);
    EXPECT_EQ(listing.devices[0].devicePath, u16(path));
    EXPECT_EQ(listing.devices[0].state, DeviceState::ExtendedPhonebook);
}

}  // namespace
