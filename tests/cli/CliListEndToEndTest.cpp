// contaxio-cli finding the phones itself, run as a child process on simulated device trees
// (CONTAXIO_SYSFS_ROOT, CONTAXIO_DEV_ROOT) whose modems are simulated phones, with the aliases
// the wizard keeps in a settings file below a configuration folder of the test's own.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"
#include "app/AliasStore.h"
#include "app/SettingsLocation.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/SimulatedDeviceTree.h"
#include "phonesim/Simulator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Json = nlohmann::json;
using phonesim::BuiltInScenarios;
using phonesim::SimulatedDeviceTree;
using phonesim::Simulator;
using test_support::ChildProcess;
using test_support::readFileBytes;
using test_support::TempDir;

// Each search probes the simulated phones (about a second of mode switches each), more under
// the sanitizers.
constexpr auto kRunLimit = 90s;
// The follower enumerates every three seconds.
constexpr auto kChangeLimit = 30s;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Tells whether anybody opened a file since the watch began (inotify reports every open).
class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ < 0 || inotify_add_watch(fd_, path.c_str(), IN_OPEN) < 0) {
            throw std::runtime_error("cannot watch " + path);
        }
    }
    ~OpenWatch() { ::close(fd_); }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool opened() const {
        std::array<char, 4096> events{};
        return ::read(fd_, events.data(), events.size()) > 0;
    }

private:
    int fd_;
};

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string describe(const CliRun& run) {
    return "status " + std::to_string(run.status) + "\n--- stdout\n" + run.out + "--- stderr\n" +
           run.err;
}

// A device tree, a configuration folder, and contaxio-cli pointed at both.
class CliListTest : public ::testing::Test {
protected:
    ChildProcess::Options options() const {
        ChildProcess::Options options;
        options.environment = {"CONTAXIO_SYSFS_ROOT=" + sim.sysfsRoot().string(),
                               "CONTAXIO_DEV_ROOT=" + sim.devRoot().string(),
                               "XDG_CONFIG_HOME=" + config.path().string()};
        return options;
    }

    CliRun run(const std::vector<std::string>& arguments) const {
        std::vector<std::string> command = arguments;
        std::string program = CONTAXIO_CLI;
        if (asNobody_) {
            // setpriv runs contaxio-cli as a user with no groups, who may open no phone's port.
            command = {"--reuid=65534", "--regid=65534", "--clear-groups", CONTAXIO_CLI};
            command.insert(command.end(), arguments.begin(), arguments.end());
            program = "/usr/bin/setpriv";
        }
        ChildProcess child(program, command, options());
        CliRun result;
        result.status = child.wait(kRunLimit);
        result.out = child.output();
        result.err = child.errors();
        return result;
    }

    // Gives a phone an alias the way the wizard does.
    void setAlias(const std::string& imei, const std::string& alias) const {
        AliasStore store;
        store.setSettingsFile(settings_location::prepare(config.path()));
        store.setAlias(std::u16string(imei.begin(), imei.end()),
                       std::u16string(alias.begin(), alias.end()));
    }

    // From now on contaxio-cli runs as nobody; the tree and the settings are made readable to
    // it. Only root can do that (false otherwise).
    bool runAsNobody() {
        if (::geteuid() != 0) {
            return false;
        }
        for (const fs::path& folder : {sim.folder(), config.path()}) {
            fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
        }
        asNobody_ = true;
        return true;
    }

    SimulatedDeviceTree sim;
    TempDir config;

private:
    bool asNobody_ = false;
};

// This process's command name, as other processes see it.
std::string ownCommandName() {
    std::string name;
    std::getline(std::ifstream("/proc/self/comm"), name);
    return name;
}

const Json* entryWithPort(const Json& list, const std::string& port) {
    for (const Json& entry : list) {
        if (entry.at("port") == port) {
            return &entry;
        }
    }
    return nullptr;
}

std::size_t countOf(const Json& list, int state) {
    std::size_t count = 0;
    for (const Json& entry : list) {
        count += entry.at("state") == state ? 1u : 0u;
    }
    return count;
}

TEST_F(CliListTest, EachOfTheMakersPhonesOnceAndOtherVendorsModemsNeverOpened) {
    // The phone in modem mode names itself with a control sequence in its model.
    phonesim::Scenario z3 = BuiltInScenarios::demo();
    z3.phone.model = "Z3\x1b[2J";
    Simulator phone(z3);
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
    setAlias("351234567890123", "Anna's\tZ3");
    const OpenWatch strangerWatch(stranger.portPath());

    const CliRun json = run({"list", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    const Json list = Json::parse(json.out);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 3u) << json.out;
    const Json* listed = entryWithPort(list, modemPath);
    ASSERT_NE(listed, nullptr) << json.out;
    EXPECT_EQ(*listed, Json::parse(R"({"port": ")" + modemPath + R"(", "state": 5,
        "state_name": "ExtendedPhonebook", "model": "Z3\u001b[2J", "imei": "351234567890123",
        "alias": "Anna's\tZ3", "reason": "", "hint": ""})"));
    EXPECT_FALSE(contains(json.out, "\x1b")) << "JSON escapes control characters";
    // The driverless phone and the phone in mass-storage mode, without port, model or IMEI;
    // the modem phone's own composite device and memory card are not listed apart.
    EXPECT_EQ(countOf(list, 1), 1u) << json.out;
    EXPECT_EQ(countOf(list, 2), 1u) << json.out;
    for (const Json& entry : list) {
        if (entry.at("state") != 5) {
            EXPECT_EQ(entry.at("port"), "");
            EXPECT_EQ(entry.at("imei"), "");
            EXPECT_EQ(entry.at("alias"), "");
        }
    }
    EXPECT_EQ(entryWithPort(list, strangerPath), nullptr);

    // The same for people, each phone that cannot be read with its way out.
    const CliRun text = run({"list"});
    ASSERT_EQ(text.status, 0) << describe(text);
    EXPECT_TRUE(contains(text.out,
                         "extended phonebook: Z3\\x1b[2J, IMEI 351234567890123, alias "
                         "\"Anna's\\tZ3\", port " +
                             modemPath + "\n"))
        << text.out;
    EXPECT_TRUE(contains(text.out,
                         "no driver: unknown model, IMEI unknown, no port\n"
                         "  hint: no driver serves it"))
        << text.out;
    EXPECT_TRUE(contains(text.out,
                         "other USB mode: unknown model, IMEI unknown, no port\n"
                         "  hint: it is in another USB mode"))
        << text.out;
    EXPECT_FALSE(contains(text.out, "\x1b"));
    EXPECT_EQ(text.err, "");

    EXPECT_FALSE(strangerWatch.opened()) << "another vendor's modem was opened";
}

// --all lists the other makers' USB serial ports from sysfs alone; --port then asks one.
TEST_F(CliListTest, AllListsOtherMakersPortsUnopenedAndProbeAsksOne) {
    Simulator phone(BuiltInScenarios::demo());
    Simulator other(BuiltInScenarios::load("other-maker"));
    Simulator stranger(BuiltInScenarios::demo());
    std::string modemPath;
    std::string otherPath;
    std::string strangerPath;
    sim.addModemPhone(phone.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &modemPath);
    const std::string otherUsb = sim.addOtherMakersPhone(
        other.portPath(), SimulatedDeviceTree::otherMakersPhone(), &otherPath);
    sim.addOtherVendorModem(stranger.portPath(), &strangerPath);
    sim.addLegacySerialPort();
    const OpenWatch otherWatch(other.portPath());
    const OpenWatch strangerWatch(stranger.portPath());

    const CliRun json = run({"list", "--all", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    const Json list = Json::parse(json.out);
    ASSERT_EQ(list.size(), 3u) << json.out;
    EXPECT_EQ(list[0].at("port"), modemPath);
    EXPECT_EQ(list[0].at("probed"), true);
    const std::string hint =
        "it is not the maker's device, so it is opened only when you ask for it, as bytes sent "
        "to a device that is no phone can do harm; if it is a phone or a USB modem, contaxio-cli "
        "probe --port " +
        otherPath + " asks it whether it can be read.";
    const Json* listed = entryWithPort(list, otherPath);
    ASSERT_NE(listed, nullptr) << json.out;
    EXPECT_EQ(*listed, Json::parse(R"({"port": ")" + otherPath + R"(", "state": 0,
        "state_name": "Found", "model": "", "imei": "", "alias": "", "reason": "not-asked",
        "hint": ")" + hint + R"(", "probed": false, "usb": {"vendor_id": "1f6e",
        "product_id": "4c20", "manufacturer": "Nordlicht", "product": "NL-200",
        "serial": "NL200A0000001", "driver": "cdc_acm", "usb_port": ")" +
                                   otherUsb + R"(", "interface": "00"}})"));
    ASSERT_NE(entryWithPort(list, strangerPath), nullptr) << json.out;

    const CliRun text = run({"list", "--all"});
    ASSERT_EQ(text.status, 0) << describe(text);
    EXPECT_TRUE(contains(text.out,
                         "not probed: Nordlicht NL-200, USB 1f6e:4c20, serial "
                         "NL200A0000001, driver cdc_acm, USB port " +
                             otherUsb + ", port " + otherPath + "\n  hint: " + hint + "\n"))
        << text.out;
    EXPECT_TRUE(contains(text.out, "port " + strangerPath + "\n")) << text.out;
    EXPECT_FALSE(otherWatch.opened()) << "another maker's phone was opened";
    EXPECT_FALSE(strangerWatch.opened()) << "another vendor's modem was opened";
    EXPECT_TRUE(other.transcript().empty());
    EXPECT_EQ(run({"list", "--all", "--watch"}).status, 2);

    // Asked by its port, the phone says it can be read, with its maker and model.
    const CliRun probe = run({"probe", "--port", otherPath});
    ASSERT_EQ(probe.status, 0) << describe(probe);
    EXPECT_TRUE(contains(probe.out, "Model:         Nordlicht NL-200\n")) << probe.out;
    EXPECT_TRUE(contains(probe.out, "Support:       standard phonebook (level 4)\n")) << probe.out;
    EXPECT_TRUE(otherWatch.opened());
    EXPECT_FALSE(strangerWatch.opened());
}

TEST_F(CliListTest, NoPhoneIsAListingAndAnUnreadableTreeIsAnError) {
    sim.addOtherVendorModem("");
    sim.addLegacySerialPort();
    const CliRun text = run({"list"});
    EXPECT_EQ(text.status, 0) << describe(text);
    EXPECT_EQ(text.out, "No phone found; connect the phone by USB and switch it on.\n");
    const CliRun json = run({"list", "--json"});
    EXPECT_EQ(json.status, 0) << describe(json);
    EXPECT_EQ(json.out, "[]\n");

    fs::remove_all(sim.sysfsRoot() / "class");
    for (const auto& arguments : {std::vector<std::string>{"list"},
                                  std::vector<std::string>{"export", "--output", "x.csv"}}) {
        const CliRun unreadable = run(arguments);
        EXPECT_EQ(unreadable.status, 3) << describe(unreadable);
        EXPECT_EQ(unreadable.out, "");
        EXPECT_EQ(unreadable.err, "contaxio-cli: error: devices: there is no folder " +
                                      (sim.sysfsRoot() / "class" / "tty").string() +
                                      " to find phones in; point CONTAXIO_SYSFS_ROOT at a "
                                      "sysfs tree, or unset it to read /sys.\n");
    }
}

TEST_F(CliListTest, ExportAndProbeWithoutPortUseTheOnePhoneThatCanBeRead) {
    Simulator phone(BuiltInScenarios::load("standard-ucs2"));
    Simulator unsupported(BuiltInScenarios::load("unsupported"));
    Simulator stranger(BuiltInScenarios::demo());
    std::string modemPath;
    sim.addModemPhone(phone.portPath(), SimulatedDeviceTree::makersPhone("T1SN0001"), &modemPath);
    sim.addModemPhone(unsupported.portPath(), SimulatedDeviceTree::makersPhone("X9SN0001"));
    sim.addDriverlessPhone();
    sim.addOtherVendorModem(stranger.portPath());
    const OpenWatch strangerWatch(stranger.portPath());
    TempDir out;
    const fs::path file = out.file("contacts.csv");

    const CliRun exported = run({"export", "--output", file.string()});
    ASSERT_EQ(exported.status, 0) << describe(exported);
    EXPECT_TRUE(contains(exported.err, "note: phone on " + modemPath + " (model " +
                                           phone.scenario().phone.model +
                                           "): it is the one attached phone that can be read"))
        << exported.err;
    EXPECT_TRUE(contains(exported.out, "Phone:         " + phone.scenario().phone.model +
                                           ", IMEI " + phone.scenario().phone.imei))
        << exported.out;
    EXPECT_TRUE(contains(exported.out, "Phone memory:  completed")) << exported.out;
    const std::string bytes = readFileBytes(file);
    EXPECT_TRUE(bytes.starts_with("\xFF\xFE")) << "UTF-16 for a UCS2 phone";
    EXPECT_GT(bytes.size(), 1000u);
    EXPECT_GT(phone.transcript().size(), 0u);

    const CliRun probed = run({"probe"});
    EXPECT_EQ(probed.status, 0) << describe(probed);
    EXPECT_TRUE(contains(probed.out, "Port:          " + modemPath + "\n")) << probed.out;
    EXPECT_FALSE(strangerWatch.opened()) << "another vendor's modem was opened";
}

TEST_F(CliListTest, WithoutPortNoReadablePhoneNamesWhatIsAttachedAndSeveralAskForPort) {
    TempDir out;
    const fs::path file = out.file("contacts.csv");
    const CliRun nothing = run({"export", "--output", file.string()});
    EXPECT_EQ(nothing.status, 3) << describe(nothing);
    EXPECT_TRUE(contains(nothing.err, "error: phone: no phone is attached")) << nothing.err;
    EXPECT_FALSE(fs::exists(file));

    // Only another maker's phone: its port is named with how to ask it, and it is not opened.
    Simulator other(BuiltInScenarios::load("other-maker"));
    std::string otherPath;
    sim.addOtherMakersPhone(other.portPath(), SimulatedDeviceTree::otherMakersPhone(), &otherPath);
    const OpenWatch otherWatch(other.portPath());
    const CliRun onlyOther = run({"export", "--output", file.string()});
    EXPECT_EQ(onlyOther.status, 3) << describe(onlyOther);
    EXPECT_TRUE(contains(onlyOther.err,
                         "error: phone: none of the maker's phones is attached; "
                         "give the port of another maker's phone with --port"))
        << onlyOther.err;
    EXPECT_TRUE(contains(onlyOther.err, "note: phone on " + otherPath +
                                            ": it is not the maker's device, so it is opened "
                                            "only when you ask for it"))
        << onlyOther.err;
    EXPECT_TRUE(contains(onlyOther.err, "contaxio-cli probe --port " + otherPath)) << onlyOther.err;
    EXPECT_FALSE(otherWatch.opened());
    EXPECT_FALSE(fs::exists(file));

    Simulator unsupported(BuiltInScenarios::load("unsupported"));
    sim.addModemPhone(unsupported.portPath(), SimulatedDeviceTree::makersPhone("X9SN0001"));
    sim.addDriverlessPhone();
    sim.addMassStoragePhone();
    const CliRun unusable = run({"probe"});
    EXPECT_EQ(unusable.status, 3) << describe(unusable);
    EXPECT_EQ(unusable.out, "");
    for (const std::string reason :
         {"attached phone: no driver serves it", "attached phone: it is in another USB mode",
          "it is not supported, as it lacks the phonebook commands an export needs"}) {
        EXPECT_TRUE(contains(unusable.err, reason)) << unusable.err;
    }

    Simulator first(BuiltInScenarios::demo());
    Simulator second(BuiltInScenarios::load("standard-ucs2"));
    std::string firstPath;
    std::string secondPath;
    sim.addModemPhone(first.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &firstPath);
    sim.addModemPhone(second.portPath(), SimulatedDeviceTree::makersPhone("T1SN0001"), &secondPath);
    const CliRun several = run({"export", "--output", file.string()});
    EXPECT_EQ(several.status, 2) << describe(several);
    EXPECT_TRUE(contains(several.err, "2 attached phones can be read (on " + firstPath + " and " +
                                          secondPath + "); choose one with --port"))
        << several.err;
    EXPECT_FALSE(fs::exists(file));
}

// The first thing most users meet: a phone whose port they may not open. (Root may open any
// port, so the test runs contaxio-cli as nobody; as another user, it takes the port's access.)
TEST_F(CliListTest, APortTheUserMayNotOpenIsToldWithTheWayOutByListJsonAndExport) {
    Simulator phone(BuiltInScenarios::demo());
    std::string modemPath;
    sim.addModemPhone(phone.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &modemPath);
    if (!runAsNobody()) {
        fs::permissions(phone.portPath(), fs::perms::none);
    }
    TempDir out;
    fs::permissions(out.path(), fs::perms::all);
    const std::string sentence =
        "you may not open this port; add yourself to the dialout group (sudo usermod -aG "
        "dialout $USER), then log out and back in.";

    const CliRun text = run({"list"});
    EXPECT_EQ(text.status, 0) << describe(text);
    EXPECT_EQ(text.out, "not supported: unknown model, IMEI unknown, port " + modemPath +
                            "\n  hint: " + sentence + "\n");
    const CliRun json = run({"list", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    const Json list = Json::parse(json.out);
    ASSERT_EQ(list.size(), 1u) << json.out;
    EXPECT_EQ(list[0].at("reason"), "permission");
    EXPECT_EQ(list[0].at("hint"), sentence);
    const CliRun exported = run({"export", "--output", out.file("contacts.csv").string()});
    EXPECT_EQ(exported.status, 3) << describe(exported);
    EXPECT_EQ(exported.err, "contaxio-cli: error: phone on " + modemPath + ": " + sentence + "\n");
    EXPECT_FALSE(fs::exists(out.file("contacts.csv")));
    EXPECT_TRUE(phone.transcript().empty());
}

TEST_F(CliListTest, APortHeldByAnotherProgramNamesItWhereTheSystemShowsIt) {
    Simulator phone(BuiltInScenarios::demo());
    std::string modemPath;
    sim.addModemPhone(phone.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &modemPath);
    // Held the way the serial layer holds a port: with an exclusive lock.
    const int holder = ::open(phone.portPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    const CliRun text = run({"list"});
    EXPECT_EQ(text.status, 0) << describe(text);
    EXPECT_TRUE(contains(text.out, "  hint: the program " + ownCommandName() + " (process " +
                                       std::to_string(::getpid()) +
                                       ") is using the port; close that program and try again.\n"))
        << text.out;
    const CliRun json = run({"list", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    EXPECT_EQ(Json::parse(json.out).at(0).at("reason"), "busy") << json.out;

    // Another user's program (a modem manager service) is not shown: the advice names the rule.
    if (runAsNobody()) {
        fs::permissions(phone.portPath(), fs::perms::all);
        const CliRun other = run({"list"});
        EXPECT_EQ(other.status, 0) << describe(other);
        EXPECT_TRUE(contains(other.out,
                             "  hint: another program is using the port, often a "
                             "modem manager service; close that program, or let the "
                             "udev rule "))
            << other.out;
    }
    ::close(holder);
    EXPECT_TRUE(phone.transcript().empty());
}

TEST_F(CliListTest, WatchReportsUnplugAndPlugUntilCtrlC) {
    Simulator phone(BuiltInScenarios::demo());
    std::string modemPath;
    const std::string modem = sim.addModemPhone(
        phone.portPath(), SimulatedDeviceTree::makersPhone("Z3SN0001"), &modemPath);
    const std::string driverless = sim.addDriverlessPhone();
    ChildProcess child(CONTAXIO_CLI, {"list", "--watch"}, options());
    ASSERT_TRUE(child.waitForError("following phones", kRunLimit)) << child.errors();
    EXPECT_TRUE(contains(child.output(),
                         "extended phonebook: Z3, IMEI 351234567890123, port " + modemPath + "\n"))
        << child.output();
    EXPECT_TRUE(contains(child.output(), "no driver: unknown model")) << child.output();

    sim.removeUsbDevice(driverless);
    EXPECT_TRUE(child.waitForOutput("removed no driver: unknown model, IMEI unknown, no port\n",
                                    kChangeLimit))
        << child.output();
    sim.removeUsbDevice(modem);
    EXPECT_TRUE(child.waitForOutput(
        "removed extended phonebook: Z3, IMEI 351234567890123, port " + modemPath + "\n",
        kChangeLimit))
        << child.output();
    // (An enumeration that meets the phone half plugged in may see it first without its disk:
    // then it is added as another state and changes at the next one.)
    sim.addMassStoragePhone();
    EXPECT_TRUE(
        child.waitForOutput(" other USB mode: unknown model, IMEI unknown, no port\n"
                            "  hint: it is in another USB mode",
                            kChangeLimit))
        << child.output();
    EXPECT_TRUE(contains(child.output(), "\nadded   ")) << child.output();

    child.signal(SIGINT);
    EXPECT_EQ(child.wait(kRunLimit), 130) << child.errors();
    EXPECT_TRUE(contains(child.errors(), "stopped on request")) << child.errors();
}

TEST_F(CliListTest, WatchWithJsonWritesTheListingThenAnObjectPerChange) {
    const std::string driverless = sim.addDriverlessPhone();
    ChildProcess child(CONTAXIO_CLI, {"list", "--watch", "--json"}, options());
    ASSERT_TRUE(child.waitForError("following phones", kRunLimit)) << child.errors();
    sim.removeUsbDevice(driverless);
    ASSERT_TRUE(child.waitForOutput("\"removed\"", kChangeLimit)) << child.output();
    child.signal(SIGTERM);
    EXPECT_EQ(child.wait(kRunLimit), 130);

    // JSON Lines: the listing, then the change.
    const std::string& out = child.output();
    const std::size_t end = out.find('\n');
    ASSERT_NE(end, std::string::npos) << out;
    const Json listing = Json::parse(out.substr(0, end));
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].at("state_name"), "NoDriver");
    const std::size_t next = out.find('\n', end + 1);
    ASSERT_NE(next, std::string::npos) << out;
    const Json change = Json::parse(out.substr(end + 1, next - end - 1));
    EXPECT_EQ(change, Json::parse(R"({"change": "removed", "port": "", "state": 1,
        "state_name": "NoDriver", "model": "", "imei": "", "alias": "", "reason": "no-driver",
        "hint": ")" + listing[0].at("hint").get<std::string>() +
                                  R"("})"));
}

}  // namespace
