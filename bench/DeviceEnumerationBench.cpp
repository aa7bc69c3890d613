// Device enumeration: both passes over a sysfs tree with 64 USB devices and 256 ttys (no
// probes), with and without the listing of the other vendors' serial ports, and as a whole
// DeviceManager enumeration; the probe of a fast simulated phone through the device manager,
// as wall time beyond the probe's fixed pause; and the probe of a fast simulated phone of
// another maker, which has no fixed pause (its phone answers at once, so all its time is the
// program's own).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "CpuTime.h"
#include "charsets/TextCodec.h"
#include "devices/DeviceManager.h"
#include "devices/DeviceTree.h"
#include "devices/PhoneProbe.h"
#include "devices/ZuvoDeviceFilter.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 51;
constexpr int kProbes = 11;
// The probe's pause after switching a phone that starts in mode 0 into mode 2.
constexpr double kProbePauseMs = 500.0;

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class CountingSink : public IEnumDeviceSink {
public:
    void onDevice(const DEVICE_INFO_EX&) override { ++records; }
    int records = 0;
};

// Lets nothing through: the enumeration runs without probes.
class NoModems : public device_filter::DeviceFilter {
public:
    bool accept(const DEVICE_INFO_EX&) const override { return false; }
};

// 64 USB devices: 32 of the maker's phones with two modems each, 8 driverless phones, 8 in
// mass-storage mode, 16 serial converters with four ports; 128 USB ttys, 64 legacy serial ports
// and 64 virtual consoles: 256 ttys.
void buildLargeTree(phonesim::SimulatedDeviceTree& tree) {
    for (int i = 0; i < 32; ++i) {
        const std::string phone = tree.addUsbDevice(
            phonesim::SimulatedDeviceTree::makersPhone("Z3SN" + std::to_string(1000 + i)));
        tree.addAcmModem(phone, "");
        tree.addAcmModem(phone, "");
    }
    for (int i = 0; i < 8; ++i)
        tree.addDriverlessPhone();
    for (int i = 0; i < 8; ++i)
        tree.addMassStoragePhone();
    phonesim::UsbIdentity converter;
    converter.vendorId = "067b";
    converter.productId = "2303";
    for (int i = 0; i < 16; ++i) {
        const std::string device = tree.addUsbDevice(converter);
        for (int port = 0; port < 4; ++port)
            tree.addSerialConverterPort(device, "");
    }
    for (int i = 0; i < 64; ++i) {
        tree.addLegacySerialPort();
        tree.addVirtualConsole();
    }
}

void benchEnumeration() {
    phonesim::SimulatedDeviceTree tree;
    buildLargeTree(tree);
    const DeviceRoots roots{tree.sysfsRoot(), tree.devRoot()};

    DeviceTree devices(roots);
    std::vector<double> passes;
    int records = 0;
    for (int run = 0; run < kRuns; ++run) {
        CountingSink sink;
        const auto start = Clock::now();
        devices.findModems(sink);
        devices.FindOtherZuvoDevices(sink);
        passes.push_back(milliseconds(Clock::now() - start));
        records = sink.records;
    }

    // What listing every port takes: both passes, then the other vendors' serial ports; as wall
    // time and as the thread's CPU time, which a busy machine disturbs less.
    std::vector<double> withOthers;
    std::vector<double> withOthersCpu;
    std::vector<double> othersAlone;
    std::size_t otherPorts = 0;
    for (int run = 0; run < kRuns; ++run) {
        CountingSink sink;
        const double cpuStart = bench::threadCpuSeconds();
        const auto start = Clock::now();
        devices.findModems(sink);
        devices.FindOtherZuvoDevices(sink);
        const auto passesDone = Clock::now();
        otherPorts = devices.findOtherUsbSerialPorts().size();
        withOthers.push_back(milliseconds(Clock::now() - start));
        withOthersCpu.push_back((bench::threadCpuSeconds() - cpuStart) * 1000.0);
        othersAlone.push_back(milliseconds(Clock::now() - passesDone));
    }

    DeviceManager manager(std::make_unique<NoModems>(), roots);
    std::vector<double> whole;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        manager.enumerate(nullptr);
        if (!manager.waitForQueued(std::chrono::seconds(60)))
            throw std::runtime_error("an enumeration did not end within a minute");
        whole.push_back(milliseconds(Clock::now() - start));
    }

    std::printf("Device enumeration, 64 USB devices and 256 ttys, no probes (%d records)\n",
                records);
    std::printf("  both passes:                 median %7.2f ms  (target < 20 ms)\n",
                median(passes));
    std::printf("  DeviceManager enumeration:   median %7.2f ms  (%zu entries listed)\n",
                median(whole), manager.snapshot().size());
    std::printf("  both passes and other ports: median %7.2f ms  (target < 20 ms; %zu ports)\n",
                median(withOthers), otherPorts);
    std::printf("  the same, CPU time:          median %7.2f ms\n", median(withOthersCpu));
    std::printf("  other ports alone:           median %7.2f ms\n", median(othersAlone));
}

void benchOtherMakersProbe() {
    std::vector<double> usb;
    std::vector<double> unknown;
    for (int run = 0; run < kProbes; ++run) {
        phonesim::Simulator phone(phonesim::BuiltInScenarios::load("other-maker"));
        phonesim::SimulatedDeviceTree tree;
        tree.addOtherMakersPhone(phone.portPath());
        DeviceTree devices({tree.sysfsRoot(), tree.devRoot()});
        const std::vector<UsbSerialPort> ports = devices.findOtherUsbSerialPorts();
        if (ports.size() != 1)
            throw std::runtime_error("the other maker's phone was not listed");

        // Its USB device tells another vendor: no mode command at all.
        DEVICE_INFO_EX result;
        auto start = Clock::now();
        probeAskedPort(ports.front().found, result);
        usb.push_back(milliseconds(Clock::now() - start));
        if (result.state != DeviceState::StandardPhonebook || !result.otherMaker)
            throw std::runtime_error("the other maker's phone was not read as expected");

        // The same phone on a port without a USB identity: the maker's mode query and switch
        // first, which it refuses.
        DEVICE_INFO_EX found;
        found.devicePath = text_codec::fromUtf8(phone.portPath());
        start = Clock::now();
        probeAskedPort(found, result);
        unknown.push_back(milliseconds(Clock::now() - start));
        if (result.state != DeviceState::StandardPhonebook || !result.otherMaker)
            throw std::runtime_error("the other maker's phone was not read as expected");
    }
    std::printf("Probe of a fast simulated phone of another maker (no fixed pause)\n");
    std::printf("  another vendor's USB port:   median %7.2f ms  (target < 150 ms)\n", median(usb));
    std::printf("  port without USB identity:   median %7.2f ms  (target < 150 ms)\n",
                median(unknown));
}

void benchProbe() {
    std::vector<double> beyondPause;
    std::vector<double> wholeBeyondPause;
    for (int run = 0; run < kProbes; ++run) {
        phonesim::Simulator phone(phonesim::BuiltInScenarios::demo());
        phonesim::SimulatedDeviceTree tree;
        tree.addModemPhone(phone.portPath());
        const DeviceRoots roots{tree.sysfsRoot(), tree.devRoot()};

        // The probe alone, on the record the first pass reports.
        DeviceTree devices(roots);
        struct First : IEnumDeviceSink {
            void onDevice(const DEVICE_INFO_EX& device) override { found = device; }
            DEVICE_INFO_EX found;
        } first;
        devices.findModems(first);
        const device_filter::ZuvoDeviceFilter filter;
        DEVICE_INFO_EX result;
        auto start = Clock::now();
        probePhone(filter, first.found, result);
        beyondPause.push_back(milliseconds(Clock::now() - start) - kProbePauseMs);
        if (result.state != DeviceState::ExtendedPhonebook)
            throw std::runtime_error("the simulated phone was not read as expected");

        // A device manager's first enumeration of the tree: both passes and the probe.
        DeviceManager manager(std::make_unique<device_filter::ZuvoDeviceFilter>(), roots);
        start = Clock::now();
        manager.enumerate(nullptr);
        if (!manager.waitForQueued(std::chrono::seconds(60)))
            throw std::runtime_error("an enumeration did not end within a minute");
        wholeBeyondPause.push_back(milliseconds(Clock::now() - start) - kProbePauseMs);
    }
    std::printf("Probe of a fast simulated phone (demo phone, one 500 ms pause)\n");
    std::printf("  probe, beyond the pause:     median %7.2f ms  (target < 150 ms)\n",
                median(beyondPause));
    std::printf("  enumeration with the probe:  median %7.2f ms beyond the pause\n",
                median(wholeBeyondPause));
}

}  // namespace

int main() {
    try {
        benchEnumeration();
        benchProbe();
        benchOtherMakersProbe();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_devices: %s\n", failure.what());
        return 1;
    }
    return 0;
}
