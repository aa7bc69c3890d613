#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "charsets/TextCodec.h"
#include "devices/DeviceListFollower.h"
#include "devices/DeviceManager.h"
#include "devices/ZuvoDeviceFilter.h"
#include "phonesim/SimulatedDeviceTree.h"

namespace {

using namespace std::chrono_literals;

// Wakes the test whenever the list may have changed.
class ListChanges : public IDeviceListSink {
public:
    void onListChanged() override {
        {
            std::lock_guard lock(mutex_);
            ++changes_;
        }
        changed_.notify_all();
    }

    // Waits at most timeout until condition holds, looking again after each change.
    bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, condition);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int changes_ = 0;
};

class DeviceListFollowerTest : public ::testing::Test {
protected:
    bool listHolds(std::size_t entries) { return devices.snapshot().size() == entries; }

    phonesim::SimulatedDeviceTree sim;
    ListChanges changes;  // outlives the manager, whose worker may still be telling it
    DeviceManager devices{std::make_unique<device_filter::ZuvoDeviceFilter>(),
                          DeviceRoots{sim.sysfsRoot(), sim.devRoot()}};
};

TEST_F(DeviceListFollowerTest, ItsEnumerationsFollowPlugAndUnplug) {
    DeviceListFollower follower(devices, &changes, 20ms);
    ASSERT_TRUE(follower.start());
    const std::string phone = sim.addDriverlessPhone();
    ASSERT_TRUE(changes.waitUntil([&] { return listHolds(1); }, 20s));
    EXPECT_EQ(devices.snapshot()[0].state, DeviceState::NoDriver);

    sim.removeUsbDevice(phone);
    EXPECT_TRUE(changes.waitUntil([&] { return listHolds(0); }, 20s));
    follower.stop();
}

TEST_F(DeviceListFollowerTest, ATtyRemovalForgetsItsModemAtOnce) {
    std::string modemPath;
    sim.addModemPhone("", {}, &modemPath);  // cannot be opened: listed as unsupported
    sim.addDriverlessPhone();
    DeviceListFollower follower(devices, &changes, 1h);  // no enumeration but the first
    ASSERT_TRUE(follower.start());
    ASSERT_TRUE(changes.waitUntil([&] { return listHolds(2); }, 20s));

    DeviceNotice removal;
    removal.kind = DeviceNotice::Kind::DeviceRemoveComplete;
    removal.devicePath = u"/dev/no-such-tty";
    follower.onDeviceChange(removal);
    removal.devicePath = text_codec::fromUtf8(modemPath);
    follower.onDeviceChange(removal);
    ASSERT_TRUE(changes.waitUntil([&] { return listHolds(1); }, 20s));
    EXPECT_EQ(devices.snapshot()[0].state, DeviceState::NoDriver);
    follower.stop();
}

}  // namespace
