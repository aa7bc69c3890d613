#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "phonesim/Scenario.h"

namespace phonesim {

// The scenarios shipped in tools/phonesim/scenarios/, built into the library so that a program
// or a test can start one of them without finding files: "demo" (the phone the demo exports),
// "standard-ucs2", "utf8-only", "ascii-only" and "unsupported".
class BuiltInScenarios {
public:
    static std::vector<std::string> names();

    // The file's text; empty for an unknown name.
    static std::string_view text(std::string_view name);

    // The scenario; throws std::invalid_argument for an unknown name.
    static Scenario load(std::string_view name);

    // The phone of the demo export.
    static Scenario demo() { return load("demo"); }
};

}  // namespace phonesim
