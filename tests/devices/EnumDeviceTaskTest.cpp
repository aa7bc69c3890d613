#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "CollectingDeviceSink.h"
#include "CountingListSink.h"
#include "common/Event.h"
#include "devices/DeviceTree.h"
#include "devices/EnumDeviceTask.h"
#include "phonesim/SimulatedDeviceTree.h"

namespace {

using synchronization::Event;

// Signals the stop event while it takes the first record, as a destructor on another thread
// would while the record is being handled.
class StoppingSink : public CollectingDeviceSink {
public:
    explicit StoppingSink(Event& stop) : stop_(stop) {}
    void onDevice(const DEVICE_INFO_EX& device) override {
        CollectingDeviceSink::onDevice(device);
        stop_.signal();
    }

private:
    Event& stop_;
};

class EnumDeviceTaskTest : public ::testing::Test {
protected:
    EnumDeviceTaskTest() {
        sim.addModemPhone("");  // probing is the manager's business; this sink only collects
        sim.addDriverlessPhone();
        sim.addMassStoragePhone();
    }

    phonesim::SimulatedDeviceTree sim;
    DeviceTree tree{DeviceRoots{sim.sysfsRoot(), sim.devRoot()}};
    Event stop{Event::Mode::ManualReset};
    CountingListSink list;
    std::optional<std::string> finished;
    EnumDeviceTask::FinishedReport report = [this](const std::string& failure) {
        finished = failure;
    };
};

TEST_F(EnumDeviceTaskTest, BothPassesReachTheManagerAndTheListHearsOfEachRecord) {
    CollectingDeviceSink manager;
    EnumDeviceTask task(manager, &list, stop, tree, report);
    task.run();

    // The modem first, then the phones' USB devices, interfaces and disk.
    ASSERT_EQ(manager.records.size(), 1u + 3u + 2u + 3u);
    EXPECT_EQ(manager.records.front().state, DeviceState::Found);
    for (std::size_t i = 1; i < manager.records.size(); ++i)
        EXPECT_NE(manager.records[i].state, DeviceState::Found);
    EXPECT_EQ(list.count, 1 + static_cast<int>(manager.records.size()));
    EXPECT_EQ(finished, "");
}

TEST_F(EnumDeviceTaskTest, TheStopEventEndsTheEnumerationAfterTheCurrentRecord) {
    StoppingSink manager(stop);
    EnumDeviceTask task(manager, &list, stop, tree, report);
    try {
        task.run();
        FAIL() << "the enumeration went on after the stop";
    } catch (const ITask::TerminationException& termination) {
        EXPECT_EQ(termination.code, 0);
    }
    EXPECT_EQ(manager.records.size(), 1u);
    EXPECT_EQ(list.count, 2);  // at the start and after the one record
    EXPECT_FALSE(finished.has_value());
}

TEST_F(EnumDeviceTaskTest, DevicesThatCannotBeReadEndTheEnumerationWithoutRecords) {
    std::filesystem::remove_all(sim.sysfsRoot() / "class");
    CollectingDeviceSink manager;
    EnumDeviceTask task(manager, nullptr, stop, tree, report);
    EXPECT_NO_THROW(task.run());
    EXPECT_TRUE(manager.records.empty());  // not even the second pass's
    ASSERT_TRUE(finished.has_value());
    EXPECT_NE(finished->find("class/tty"), std::string::npos) << *finished;
}

}  // namespace
