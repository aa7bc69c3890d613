// The whole export path (phone manager, worker, port, AT layer, readers, builder, CSV file)
// against the simulated phone: throughput at full speed, the overhead over the wire time at
// 115,200 bit/s, and the peak memory of a small and a large export. Then the cost of the vCard
// layout beside the Google layout's, in the same run: the CPU time of whole exports, and of the
// writers alone, per 1,000 contacts.
//
//   bench_export                          all of them, printing the figures
//   bench_export --layouts                only the vCard layout beside the Google layout
//   bench_export --memory PORT EXT PATH   (internal) one export in a fresh process, printing
//                                         its peak resident memory
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CpuTime.h"
#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "common/Event.h"
#include "common/StorageKind.h"
#include "export/CSVExportManager.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/OutputFormat.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/ScenarioWriter.h"
#include "phonesim/Simulator.h"
#include "tasks/PhoneManager.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::uint32_t kLineRate = 115200;
constexpr int kFullSpeedRuns = 5;

// The peak resident set of this process in KiB, as /proc reports it (VmHWM).
long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Hears the end of each storage and remembers when the last one came.
class FinishSink final : public IContactExportSink {
public:
    void onExportStarted(StorageKind, std::int32_t, std::int32_t) override {}
    void onExportProgress(std::int32_t, std::int32_t) override {}
    void onExportFinished(ExportResult result) override {
        {
            std::lock_guard lock(mutex_);
            lastResult_ = result;
            finishedAt_ = Clock::now();
        }
        finished_.signal();
    }

    // Waits for the end of one storage; its result, or nothing after the time-out.
    std::optional<ExportResult> wait(std::chrono::seconds timeout, Clock::time_point& at) {
        if (!finished_.wait(timeout))
            return std::nullopt;
        std::lock_guard lock(mutex_);
        at = finishedAt_;
        return lastResult_;
    }

private:
    std::mutex mutex_;
    ExportResult lastResult_ = ExportResult::None;
    Clock::time_point finishedAt_;
    synchronization::Event finished_{synchronization::Event::Mode::AutoReset};
};

// A bench has no user to ask: a write error gives up.
class GiveUpSink final : public IExportInterruptionSink {
public:
    void onExportInterrupted(bool, std::unique_ptr<IExportInterruptionReaction> reaction) override {
        reaction->abort();
    }
};

struct ExportRun {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    ExportResult result = ExportResult::None;
};

// Exports the phone's memory once, timed from startExport to the storage's end.
ExportRun exportOnce(PhoneManager& manager, const fs::path& output,
                     OutputFormat layout = OutputFormat::GoogleCsv) {
    FinishSink sink;
    GiveUpSink giveUp;
    manager.setPath(text_codec::fromUtf8(output.string()));
    manager.setFormat(layout);
    manager.setOutputCharset(output_charset::Ucs2);
    ExportRun run;
    const double cpuBefore = bench::processCpuSeconds();
    const auto start = Clock::now();
    manager.startExport({StorageKind::Memory}, u"UCS2", sink, giveUp);
    Clock::time_point end;
    const auto result = sink.wait(std::chrono::seconds(600), end);
    run.cpuSeconds = bench::processCpuSeconds() - cpuBefore;
    if (!result)
        throw std::runtime_error("the export did not end within ten minutes");
    run.result = *result;
    run.wallSeconds = std::chrono::duration<double>(end - start).count();
    return run;
}

phonesim::Scenario generated(std::size_t contacts, bool extended) {
    phonesim::ScenarioGenerator::Options options;
    options.contacts = contacts;
    options.extended = extended;
    return phonesim::ScenarioGenerator::generate(options);
}

// A program started with its standard output on a pipe; ended with SIGTERM.
class Child {
public:
    explicit Child(const std::vector<std::string>& arguments) {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        const int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        output_ = pipeFds[0];
        if (error != 0) {
            pid_ = -1;
            close(output_);
            throw std::runtime_error("cannot start " + arguments[0]);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        close(output_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next line the child prints, without its line feed.
    std::string readLine(std::chrono::seconds timeout) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            const auto newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd pfd{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
                throw std::runtime_error("the child printed no line in time");
            char chunk[256];
            const ssize_t n = read(output_, chunk, sizeof chunk);
            if (n <= 0)
                throw std::runtime_error("the child ended without a line");
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // Waits for the child to end by itself.
    void join() {
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
};

// The simulated phone as a process of its own, playing a scenario written to a file, so that
// this process holds only the program's side.
class PhoneProcess {
public:
    PhoneProcess(const phonesim::Scenario& scenario, const fs::path& file) {
        std::ofstream(file) << phonesim::ScenarioWriter::write(scenario);
        child_ =
            std::make_unique<Child>(std::vector<std::string>{CONTAXIO_PHONESIM, file.string()});
        port_ = child_->readLine(std::chrono::seconds(30));
    }
    const std::string& port() const { return port_; }

private:
    std::unique_ptr<Child> child_;
    std::string port_;
};

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "contaxio-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void fullSpeed(const TempFolder& folder, std::size_t contacts, bool extended) {
    PhoneProcess phone(generated(contacts, extended),
                       folder.path() / (extended ? "fast-ext.scn" : "fast-std.scn"));
    PhoneManager manager(text_codec::fromUtf8(phone.port()), extended);
    std::vector<ExportRun> runs;
    for (int i = 0; i < kFullSpeedRuns; ++i)
        runs.push_back(exportOnce(manager, folder.path() / "fast.csv"));
    std::sort(runs.begin(), runs.end(),
              [](const ExportRun& a, const ExportRun& b) { return a.wallSeconds < b.wallSeconds; });
    const ExportRun& median = runs[runs.size() / 2];
    std::printf(
        "  %-9s %5zu contacts: wall %7.1f ms (best %.1f), CPU %6.1f ms, %8.0f contacts/s, "
        "result %s\n",
        extended ? "extended" : "standard", contacts, median.wallSeconds * 1000.0,
        runs.front().wallSeconds * 1000.0, median.cpuSeconds * 1000.0,
        static_cast<double>(contacts) / median.wallSeconds,
        std::string(exportResultName(median.result)).c_str());
}

void lineRate(const TempFolder& folder, std::size_t contacts, bool extended) {
    phonesim::Scenario scenario = generated(contacts, extended);
    scenario.behaviour.lineRate = kLineRate;
    phonesim::Simulator phone(std::move(scenario));
    PhoneManager manager(text_codec::fromUtf8(phone.portPath()), extended);
    const std::uint64_t before = phone.bytesSent() + phone.bytesReceived();
    const ExportRun run = exportOnce(manager, folder.path() / "paced.csv");
    const std::uint64_t bytes = phone.bytesSent() + phone.bytesReceived() - before;
    const double wire = static_cast<double>(bytes) * 10.0 / kLineRate;
    std::printf(
        "  %-9s %5zu contacts: %8llu bytes, wire %6.2f s, wall %6.2f s, ratio %.3f "
        "(target <= 1.10), result %s\n",
        extended ? "extended" : "standard", contacts, static_cast<unsigned long long>(bytes), wire,
        run.wallSeconds, run.wallSeconds / wire, std::string(exportResultName(run.result)).c_str());
}

// Runs one export in a fresh process against a phone process and returns its peak memory.
long peakOfExport(const TempFolder& folder, std::size_t contacts, bool extended) {
    const std::string tag = (extended ? "ext-" : "std-") + std::to_string(contacts);
    PhoneProcess phone(generated(contacts, extended), folder.path() / (tag + ".scn"));
    Child exporter({fs::read_symlink("/proc/self/exe").string(), "--memory", phone.port(),
                    extended ? "1" : "0", (folder.path() / (tag + ".csv")).string()});
    const std::string line = exporter.readLine(std::chrono::seconds(600));
    exporter.join();
    const long peak = std::strtol(line.c_str(), nullptr, 10);
    if (peak <= 0)
        throw std::runtime_error("the export process reported: " + line);
    return peak;
}

void memory(const TempFolder& folder, bool extended) {
    const long small = peakOfExport(folder, 100, extended);
    const long large = peakOfExport(folder, 10000, extended);
    std::printf(
        "  %-9s    100 contacts: %6ld KiB, 10000 contacts: %6ld KiB, growth %+.1f %% "
        "(target <= +10 %%)\n",
        extended ? "extended" : "standard", small, large,
        100.0 * static_cast<double>(large - small) / static_cast<double>(small));
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The phone's contacts as the extended reader builds them, for the writers alone.
std::vector<Contact> contactsOf(const phonesim::Scenario& scenario) {
    std::vector<Contact> contacts;
    const phonesim::Storage* storage = scenario.storage("ME");
    for (const auto& [index, entry] : storage->contacts) {
        Contact& contact = contacts.emplace_back();
        contact.setStorage(StorageKind::Memory);
        contact.setFirstIndex(index);
        contact.setText(ContactField::GivenName, entry.givenName);
        contact.setText(ContactField::FamilyName, entry.familyName);
        contact.setText(ContactField::AdditionalName, entry.additionalName);
        contact.setText(ContactField::Birthday, text_codec::fromUtf8(entry.birthday));
        if (entry.group) {
            const auto name = scenario.groups.names.find(*entry.group);
            if (name != scenario.groups.names.end())
                contact.setText(ContactField::Group, name->second);
        }
        if (entry.hasPostalAddress()) {
            std::u16string address;
            for (std::size_t part = 0; part < entry.postal.size(); ++part)
                address += (part > 0 ? u";|;" : u"") + entry.postal[part];
            contact.addAddress(contact_kind::OtherAddress, address);
        }
        for (const phonesim::Item& item : entry.items) {
            switch (phonesim::classOfType(item.type)) {
                case phonesim::ItemClass::Phone:
                    contact.addPhone(item.type, item.value);
                    break;
                case phonesim::ItemClass::Email:
                    contact.addEmail(item.type, item.value);
                    break;
                case phonesim::ItemClass::Address:
                    contact.addAddress(item.type, item.value);
                    break;
                case phonesim::ItemClass::Website:
                    contact.addWebsite(item.value);
                    break;
                case phonesim::ItemClass::Unknown:
                    break;
            }
        }
    }
    return contacts;
}

// Prints the median CPU times (in seconds) of both layouts as milliseconds per 1,000 contacts.
void report(const char* what, const std::vector<double>& google, const std::vector<double>& vcard,
            double perThousand) {
    const double g = median(google) * 1000.0 * perThousand;
    const double v = median(vcard) * 1000.0 * perThousand;
    std::printf(
        "  %s Google CSV %6.2f ms, vCard %6.2f ms CPU per 1,000 contacts, ratio %.3f "
        "(target <= 1.20)\n",
        what, g, v, v / g);
}

// The thread's CPU time to write the contacts through the export manager, in seconds.
double writeOnce(const std::vector<Contact>& contacts, OutputFormat layout, const fs::path& path) {
    const double before = bench::threadCpuSeconds();
    {
        CSVExportManager manager(layout, text_codec::fromUtf8(path.string()), output_charset::Ucs2,
                                 u"351234567890123");
        for (const Contact& contact : contacts)
            manager.writeContact(contact);
    }
    return bench::threadCpuSeconds() - before;
}

// The vCard layout against the Google layout, turn about in the same run, for 1,000 extended
// contacts: whole exports (the process's CPU time, median of kFullSpeedRuns each) and the
// writers alone (this thread's CPU time, median of 21 runs each).
void layouts(const TempFolder& folder) {
    constexpr std::size_t kContacts = 1000;
    const phonesim::Scenario scenario = generated(kContacts, true);
    const double perThousand = 1000.0 / static_cast<double>(kContacts);
    {
        PhoneProcess phone(scenario, folder.path() / "layouts.scn");
        PhoneManager manager(text_codec::fromUtf8(phone.port()), true);
        manager.setImei(u"351234567890123");
        std::vector<double> google, vcard;
        for (int i = 0; i < kFullSpeedRuns; ++i) {
            google.push_back(
                exportOnce(manager, folder.path() / "layout.csv", OutputFormat::GoogleCsv)
                    .cpuSeconds);
            vcard.push_back(
                exportOnce(manager, folder.path() / "layout.vcf", OutputFormat::VCard).cpuSeconds);
        }
        report("whole export: ", google, vcard, perThousand);
    }
    const std::vector<Contact> contacts = contactsOf(scenario);
    std::vector<double> google, vcard;
    for (int i = 0; i < 21; ++i) {
        google.push_back(writeOnce(contacts, OutputFormat::GoogleCsv, folder.path() / "w.csv"));
        vcard.push_back(writeOnce(contacts, OutputFormat::VCard, folder.path() / "w.vcf"));
    }
    report("writers alone:", google, vcard, perThousand);
}

// The child's side of the memory measurement: one export, then the peak resident set.
int memoryChild(const std::string& port, bool extended, const std::string& output) {
    PhoneManager manager(text_codec::fromUtf8(port), extended);
    const ExportRun run = exportOnce(manager, output);
    if (run.result != ExportResult::Completed) {
        std::printf("export ended with %s\n", std::string(exportResultName(run.result)).c_str());
        return 1;
    }
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 5 && std::string(argv[1]) == "--memory")
            return memoryChild(argv[2], std::string(argv[3]) == "1", argv[4]);

        TempFolder folder;
        if (argc == 2 && std::string(argv[1]) == "--layouts") {
            layouts(folder);
            return 0;
        }
        std::printf(
            "bench_export: phone to CSV file through the phone manager, against the "
            "simulated phone\n");
        std::printf(
            " full speed (phone in its own process; median of %d exports, from "
            "startExport to the end):\n",
            kFullSpeedRuns);
        fullSpeed(folder, 1000, false);
        fullSpeed(folder, 1000, true);
        std::printf(" at %u bit/s (wall time / wire time of the bytes both ways):\n", kLineRate);
        lineRate(folder, 1000, false);
        lineRate(folder, 1000, true);
        std::printf(
            " peak resident memory of the exporting process (VmHWM), a fresh process "
            "per size:\n");
        memory(folder, false);
        memory(folder, true);
        std::printf(
            " the vCard layout beside the Google layout (1000 extended contacts, turn about):\n");
        layouts(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_export: %s\n", error.what());
        return 1;
    }
    return 0;
}
