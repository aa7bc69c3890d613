#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "phonesim/Scenario.h"

namespace phonesim {

// The outcome of reading a scenario: the scenario, or why it was refused.
struct ParsedScenario {
    std::optional<Scenario> scenario;
    std::string error;  // "<source>:<line>: <problem>" when refused
    int line = 0;       // the line the problem is on (0: the file as a whole)

    explicit operator bool() const { return scenario.has_value(); }
};

// Reads the scenario file format (see tools/phonesim/README.md): sections in brackets, one
// "key = value" per line, '#' comments. Nothing in the text makes it throw, crash or accept a
// phone that could not answer as written: every problem is reported with its line.
class ScenarioParser {
public:
    static ParsedScenario parse(std::string_view text, std::string_view sourceName = "scenario");
    static ParsedScenario load(const std::filesystem::path& path);
};

}  // namespace phonesim
