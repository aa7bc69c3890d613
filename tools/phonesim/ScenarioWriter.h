#pragma once

#include <string>

#include "phonesim/Scenario.h"

namespace phonesim {

// Writes a scenario in the file format that ScenarioParser reads, so that a scenario built in
// code (the phonebook generator's, for one) can be saved, edited by hand and read back as it was.
class ScenarioWriter {
public:
    // The text of the file; comment, when not empty, becomes its first lines ("# " added).
    static std::string write(const Scenario& scenario, const std::string& comment = {});

    // A value as the file writes it: as it stands, or quoted with escapes when it must be.
    static std::string value(const std::string& bytes);
};

}  // namespace phonesim
