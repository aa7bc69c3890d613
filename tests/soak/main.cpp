// contaxio-soak: many exports in one process against simulated phones, each with a fault drawn
// at random, checked one by one, and the process checked across the run for descriptors,
// threads and memory that do not come back.
//
//   contaxio-soak [--exports N] [--seed S] [--quick] [--verbose] [--rss-growth-kb K] [--draw]
//
// Prints a summary and exits 0 when every export was right and nothing grew; 1 otherwise.
// --draw only lists the exports a seed draws, without running them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <string_view>

#include "ProcessFigures.h"
#include "SoakRun.h"
#include "TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int exports = 50;
    std::uint64_t seed = 1;
    bool quick = false;
    bool verbose = false;
    bool drawOnly = false;
    long rssGrowthKb = 16 * 1024;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--exports" && hasValue)
            options.exports = std::atoi(argv[++i]);
        else if (argument == "--seed" && hasValue)
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (argument == "--rss-growth-kb" && hasValue)
            options.rssGrowthKb = std::atol(argv[++i]);
        else if (argument == "--quick")
            options.quick = true;
        else if (argument == "--verbose")
            options.verbose = true;
        else if (argument == "--draw")
            options.drawOnly = true;
        else
            return false;
    }
    return options.exports > 0;
}

// Resident memory says little under a sanitizer, which keeps freed memory in quarantine or
// keeps a history of every access.
constexpr bool kMemoryIsMeaningful =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    false;
#else
    true;
#endif
#else
    true;
#endif

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: contaxio-soak [--exports N] [--seed S] [--quick] [--verbose] "
                     "[--rss-growth-kb K] [--draw]\n");
        return 2;
    }
    const auto begin = Clock::now();
    std::mt19937_64 random(options.seed);
    if (options.drawOnly) {
        std::map<soak::SoakFault::Kind, int> faults;
        for (int number = 1; number <= options.exports; ++number) {
            const soak::SoakExport drawn = soak::SoakExport::draw(random, options.quick);
            ++faults[drawn.fault.kind];
            std::printf("export %d: %s\n", number, drawn.describe().c_str());
        }
        for (const auto& [kind, count] : faults)
            std::printf("%s: %d\n", soak::SoakFault::name(kind), count);
        return 0;
    }
    test_support::TempDir folder;
    const soak::SoakRun run(folder.path());

    std::map<soak::SoakFault::Kind, int> faults;
    int failed = 0;
    int brokenFiles = 0;
    int leaks = 0;
    soak::ProcessFigures baseline;
    soak::ProcessFigures highest;
    soak::ProcessFigures last;
    for (int number = 1; number <= options.exports; ++number) {
        const soak::ExportReport report =
            run.run(number, soak::SoakExport::draw(random, options.quick));
        ++faults[report.fault];
        last = soak::ProcessFigures::now();
        // The first export sets up what lives as long as the process (the modem registry,
        // converter tables): the figures after it are the baseline.
        if (number == 1)
            baseline = highest = last;
        highest.openFiles = std::max(highest.openFiles, last.openFiles);
        highest.threads = std::max(highest.threads, last.threads);
        highest.residentKb = std::max(highest.residentKb, last.residentKb);
        const bool leaked =
            last.openFiles != baseline.openFiles || last.threads != baseline.threads;
        leaks += leaked ? 1 : 0;
        brokenFiles += report.brokenFile ? 1 : 0;
        if (!report.problems.empty() || leaked) {
            ++failed;
            std::printf("export %d FAILED (%s), %lld ms\n", number, report.description.c_str(),
                        static_cast<long long>(report.duration.count()));
            for (const std::string& problem : report.problems)
                std::printf("  - %s\n", problem.c_str());
            if (leaked)
                std::printf("  - open files %d, threads %d after it (baseline %d, %d)\n",
                            last.openFiles, last.threads, baseline.openFiles, baseline.threads);
            std::string commands;
            for (const std::string& command : report.commands)
                commands += " " + command;
            std::printf("  the phone received:%s\n", commands.c_str());
        } else if (options.verbose) {
            std::printf("export %d ok (%s), %lld ms\n", number, report.description.c_str(),
                        static_cast<long long>(report.duration.count()));
            if (std::getenv("CONTAXIO_SOAK_COMMANDS") != nullptr) {
                for (const std::string& command : report.commands)
                    std::printf(" %s", command.c_str());
                std::printf("\n");
            }
        }
        std::fflush(stdout);
    }

    const long growth = last.residentKb - baseline.residentKb;
    const bool memoryGrew = kMemoryIsMeaningful && growth > options.rssGrowthKb;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - begin).count();

    std::printf("\nSoak: %d exports, seed %llu%s, %lld s\n", options.exports,
                static_cast<unsigned long long>(options.seed), options.quick ? ", quick" : "",
                static_cast<long long>(seconds));
    std::printf("Faults:");
    for (const auto& [kind, count] : faults)
        std::printf(" %s %d;", soak::SoakFault::name(kind), count);
    std::printf("\nExports with problems: %d; broken files: %d\n", failed, brokenFiles);
    std::printf("Open file descriptors: %d after the first export, %d at the end (highest %d)\n",
                baseline.openFiles, last.openFiles, highest.openFiles);
    std::printf("Threads: %d after the first export, %d at the end (highest %d)\n",
                baseline.threads, last.threads, highest.threads);
    std::printf(
        "Resident memory: %ld kB after the first export, %ld kB at the end (highest %ld "
        "kB)%s\n",
        baseline.residentKb, last.residentKb, highest.residentKb,
        kMemoryIsMeaningful ? "" : " (sanitizer build: not checked)");
    if (memoryGrew)
        std::printf("Resident memory grew by %ld kB, more than %ld kB\n", growth,
                    options.rssGrowthKb);
    const bool passed = failed == 0 && leaks == 0 && !memoryGrew;
    std::printf("%s\n", passed ? "Soak passed." : "Soak FAILED.");
    return passed ? 0 : 1;
}
