#pragma once

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "SoakFault.h"

namespace soak {

// One export of the soak as drawn: the phone, what it is sent, its fault and what should come of
// it.
struct SoakExport {
    SoakPhone phone;
    std::vector<PlannedCommand> plan;
    SoakFault fault;
    ExpectedOutcome outcome;

    static SoakExport draw(std::mt19937_64& random, bool quick);
    std::string describe() const;
};

// What one export of the soak did, and what was wrong with it.
struct ExportReport {
    SoakFault::Kind fault = SoakFault::Kind::None;
    std::string description;  // the phone and the fault
    std::vector<std::string> problems;
    bool brokenFile = false;            // the file is not whole rows after one header
    std::vector<std::string> commands;  // what the phone received, for the problems' sake
    std::chrono::milliseconds duration{0};
};

// One export against a simulated phone with a fault drawn at random: a fresh simulator and a
// fresh PhoneManager, the export of the drawn storages, then the checks: the results each
// storage reported and its statistics, and the output file (read once the manager is gone)
// against the rows the CSV row check gives for the contacts the soak expects. A full disk is
// preceded by an export without the fault, whose file places the disk's limit.
class SoakRun {
public:
    // folder: where the output files go (each is removed after its check).
    explicit SoakRun(std::filesystem::path folder) : folder_(std::move(folder)) {}

    ExportReport run(int number, SoakExport drawn) const;

private:
    std::filesystem::path folder_;
};

}  // namespace soak
