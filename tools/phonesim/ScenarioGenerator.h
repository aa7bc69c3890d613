#pragma once

#include <cstddef>
#include <cstdint>

#include "phonesim/Scenario.h"

namespace phonesim {

// Makes large phonebooks for benchmarks and load tests: the same options always give the same
// scenario. Names mix Latin with accents, Cyrillic, Greek, CJK and a few emoji.
class ScenarioGenerator {
public:
    struct Options {
        std::size_t contacts = 10000;  // in the phone's memory "ME", at indexes 1 to contacts
        std::size_t simContacts = 0;   // on the SIM "SM" (range 1-250, or larger when needed)
        bool extended = false;         // extended phonebook: several numbers, e-mail, groups...
        std::uint32_t seed = 1;
    };

    static Scenario generate(const Options& options);
};

}  // namespace phonesim
